// Entry point of MorCalvix: names the application, creates the main window and runs the
// event loop. Layer: the program (app/).
#include "app/Principal.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Forms.h"
#include "validation/MorVerifyCard.h"

int main() {
  Application->Initialize();
  Application->SetTitle("Calvix");
  // The components' About and Ajuda texts appear in the standard information box.
  SetInformationBox([](const std::string& text) { MessageDlg(text, mtInformation, {mbOK}, 0); });
  Application->CreateForm(FormPrincipal);
  FormPrincipal->Show();
  Application->Run();
  return 0;
}

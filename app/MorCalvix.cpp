// Entry point of MorCalvix: names the application, creates the main window and runs the
// event loop. Layer: the program (app/).
#include "app/Principal.h"
#include "toolkit/Forms.h"

int main() {
  Application->Initialize();
  Application->SetTitle("Calvix");
  Application->CreateForm(FormPrincipal);
  FormPrincipal->Show();
  Application->Run();
  return 0;
}

// Entry point of MorCalvix: names the application, creates its three windows in their fixed
// order and runs the event loop. Layer: the program (app/).
#include "app/Creditos.h"
#include "app/Licenca.h"
#include "app/Principal.h"
#include "toolkit/Forms.h"

int main() {
  int exitCode = 0;
  try {
    Application->Initialize();
    Application->SetTitle("Calvix");
    // The main window's create handler ends a second copy at once (Halt), before the two
    // information windows exist; otherwise it starts minimised, and the loop takes the
    // application into the notification area.
    Application->CreateForm(FormPrincipal);
    Application->CreateForm(FormLicence);
    Application->CreateForm(FormCredito);
    Application->Run();
  } catch (const THalt& halt) {
    exitCode = halt.ExitCode;
  }
  DoneApplication();
  return exitCode;
}

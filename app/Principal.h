// The main window: a skinned panel behind the notification-area icon with the CGC, CPF and
// payment card checks, the popup menu, and the copy of the desktop that shows through the
// skin's see-through parts. Layer: the program (app/), on the toolkit's forms and controls.
#pragma once

#include <string>

#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Mask.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"

class TMorCircButton;
class TMorVerifyCard;
class TMorSystemInfo;
class TLwTrayIcon95;

class TFormPrincipal : public TForm {
 public:
  // Reads the window's compiled-in description when the application creates it.
  explicit TFormPrincipal(TComponent* owner) : TForm(owner) {}

  // --- Published components, set from the form description ---
  TImage* Image1 = nullptr;  // the copy of the desktop under the window
  TImage* Image2 = nullptr;  // the skin, white being see-through
  TLabel* Label2 = nullptr;
  TLabel* Label1 = nullptr;
  TMorCircButton* MorCircButton1 = nullptr;
  TMorCircButton* MorCircButton2 = nullptr;
  TMorCircButton* MorCircButton4 = nullptr;
  TLabel* LbVer = nullptr;
  TLabel* Label3 = nullptr;
  TMorCircButton* MorCircButton3 = nullptr;
  TMaskEdit* EditCGC = nullptr;
  TMaskEdit* EditCPF = nullptr;
  TComboBox* ComboBox1 = nullptr;
  TMaskEdit* EditDate = nullptr;
  TEdit* EditCreditCard = nullptr;
  TMorVerifyCard* MorVerifyCard1 = nullptr;
  TMorSystemInfo* MorSystemInfo = nullptr;
  TLwTrayIcon95* LwTrayIcon951 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TMenuItem* Verifica1 = nullptr;
  TMenuItem* N2 = nullptr;
  TMenuItem* Menu_Licenca = nullptr;
  TMenuItem* Menu_Creditos = nullptr;
  TMenuItem* N1 = nullptr;
  TMenuItem* Menu_Fechar = nullptr;

  // --- Published handlers: the window ---
  // A second copy on the same desktop brings the running one forward and ends here. Otherwise
  // the window is shown minimised, as it is stored, so the program starts into the tray with
  // only its icon showing; then the application's message hook is installed.
  void FormCreate(TObject* sender);
  // On every showing, before the window reaches the screen: the version label (the version of
  // the program's file in the current folder, where the desktop entry and scripts/run start
  // it; empty when there is none), a fresh copy of the desktop under the window, and the focus
  // in the CGC field.
  void FormShow(TObject* sender);
  // Copies the piece of the desktop under the window into Image1 while the window is hidden,
  // then shows the window.
  void CapturaFundo();
  // The application's message hook: the window hides when the application loses activation,
  // except once after the menu's "Verifica".
  void AppMessage(MSG& msg, bool& handled);

  // --- Published handlers: the tray icon and its menu ---
  // The tray icon's double click (and "Verifica"): the information windows go, the window
  // comes up in front over a fresh copy of the desktop.
  void LwTrayIcon951DblClick(TObject* sender);
  void Verifica1Click(TObject* sender);
  void Menu_LicencaClick(TObject* sender);
  void Menu_CreditosClick(TObject* sender);
  // Closes the main window, which ends the program.
  void Menu_FecharClick(TObject* sender);
  // The "x" button hides the window; the program stays in the notification area.
  void MorCircButton4Click(TObject* sender);

  // --- Published handlers: the checks ---
  // The CGC, CPF and card checks behind the buttons "Verifica CGC", "Verifica CPF" and
  // "Verifica Card". Each ends in one message box, or in none for a blank CGC or CPF field.
  void ButCGCClick(TObject* sender);
  void ButCPFClick(TObject* sender);
  void MorCircButton3Click(TObject* sender);
  // Enter in the CGC field (and in the date field, which shares this handler) runs the CGC
  // check; Enter in the CPF field runs the CPF check. The key is left for the field itself.
  void EditCGCKeyPress(TObject* sender, char& key);
  void EditCPFKeyPress(TObject* sender, char& key);

 private:
  // Copies the desktop under the window into Image1, whatever the window's state.
  void CopyDesktop();

  HWND FDesktopWnd = nullptr;
  HDC FDesktopDC = nullptr;  // held only while a copy is taken
  bool FIgnoreNextDeactivate = false;
};

// The main window, set by the application before its create handler runs.
extern TFormPrincipal* FormPrincipal;

// --- The result messages ---
// Every check answers with the maker's prefix, two carriage returns and the verdict; the
// message box shows "&&" as one ampersand.
inline constexpr char kVerdictPrefix[] = "Morvane Software && Systems informa:";
inline constexpr char kCgcValid[] = "C.G.C. v\xE1lido!!!";
inline constexpr char kCgcInvalid[] = "C.G.C. inv\xE1lido!!!";
inline constexpr char kCpfValid[] = "C.P.F. v\xE1lido!!!";
inline constexpr char kCpfInvalid[] = "C.P.F. inv\xE1lido!!!";
inline constexpr char kCardValid[] =
    "Cart\xE3o de cr\xE9"
    "dito v\xE1lido!!!";
inline constexpr char kCardInvalid[] =
    "Cart\xE3o de cr\xE9"
    "dito inv\xE1lido!!!";
inline constexpr char kCardExpired[] =
    "Cart\xE3o de cr\xE9"
    "dito expirado!!!";

// The whole text of the message box that carries `verdict`.
std::string VerdictMessage(const std::string& verdict);

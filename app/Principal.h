// The main window: the CGC, CPF and payment card checks with their fields, buttons and result
// messages. Layer: the program (app/), on the toolkit's forms and controls.
#pragma once

#include <string>

#include "toolkit/Dialogs.h"
#include "toolkit/Forms.h"
#include "toolkit/Mask.h"
#include "toolkit/StdCtrls.h"

class TMorCircButton;
class TMorVerifyCard;
class TMorSystemInfo;

class TFormPrincipal : public TForm {
 public:
  // Reads the window's compiled-in description when the application creates it.
  explicit TFormPrincipal(TComponent* owner) : TForm(owner) {}

  // --- Published components, set from the form description ---
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

  // --- Published handlers ---
  // The CGC, CPF and card checks behind the buttons "Verifica CGC", "Verifica CPF" and
  // "Verifica Card". Each ends in one message box, or in none for a blank CGC or CPF field.
  void ButCGCClick(TObject* sender);
  void ButCPFClick(TObject* sender);
  void MorCircButton3Click(TObject* sender);
  // Enter in the CGC field (and in the date field, which shares this handler) runs the CGC
  // check; Enter in the CPF field runs the CPF check. The key is left for the field itself.
  void EditCGCKeyPress(TObject* sender, char& key);
  void EditCPFKeyPress(TObject* sender, char& key);
  // The "x" button. Until the notification-area icon can bring a hidden window back, it
  // closes the main window, which ends the program, rather than leave it unreachable.
  void MorCircButton4Click(TObject* sender);
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

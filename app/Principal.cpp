// The main window's checks: reading the masked fields, the check digits and the card verifier,
// and the message box that answers each check. Layer: the program (app/).
#include "app/Principal.h"

#include "app/Principal.form.h"
#include "controls/circbutton/MorCircBut.h"
#include "core/MORTypes.h"
#include "sysinfo/MorSystemInfo.h"
#include "toolkit/SysUtils.h"
#include "toolkit/TypInfo.h"
#include "validation/MorVerifyCard.h"

TFormPrincipal* FormPrincipal = nullptr;

namespace {

constexpr char kEnter = '\r';
// The expiry field holds month and year; the card counts from the first day of that month.
constexpr char kFirstDayOfMonth[] = "01/";

const bool kRegistered = (PublishClass<TFormPrincipal, TForm>("TFormPrincipal")
                              .Field("Label2", &TFormPrincipal::Label2)
                              .Field("Label1", &TFormPrincipal::Label1)
                              .Field("MorCircButton1", &TFormPrincipal::MorCircButton1)
                              .Field("MorCircButton2", &TFormPrincipal::MorCircButton2)
                              .Field("MorCircButton4", &TFormPrincipal::MorCircButton4)
                              .Field("LbVer", &TFormPrincipal::LbVer)
                              .Field("Label3", &TFormPrincipal::Label3)
                              .Field("MorCircButton3", &TFormPrincipal::MorCircButton3)
                              .Field("EditCGC", &TFormPrincipal::EditCGC)
                              .Field("EditCPF", &TFormPrincipal::EditCPF)
                              .Field("ComboBox1", &TFormPrincipal::ComboBox1)
                              .Field("EditDate", &TFormPrincipal::EditDate)
                              .Field("EditCreditCard", &TFormPrincipal::EditCreditCard)
                              .Field("MorVerifyCard1", &TFormPrincipal::MorVerifyCard1)
                              .Field("MorSystemInfo", &TFormPrincipal::MorSystemInfo)
                              .Handler("ButCGCClick", &TFormPrincipal::ButCGCClick)
                              .Handler("ButCPFClick", &TFormPrincipal::ButCPFClick)
                              .Handler("MorCircButton3Click", &TFormPrincipal::MorCircButton3Click)
                              .Handler("EditCGCKeyPress", &TFormPrincipal::EditCGCKeyPress)
                              .Handler("EditCPFKeyPress", &TFormPrincipal::EditCPFKeyPress)
                              .Handler("MorCircButton4Click", &TFormPrincipal::MorCircButton4Click),
                          true);

void ShowVerdict(const std::string& verdict, TMsgDlgType kind) {
  MessageDlg(VerdictMessage(verdict), kind, {mbOK}, 0);
}

// The digits of a taxpayer field; the blanks of skipped positions are dropped.
std::string DigitsOf(const std::string& text) {
  std::string digits;
  for (const char c : text)
    if (c >= '0' && c <= '9') digits += c;
  return digits;
}

// Runs a taxpayer check on a masked field; a field with nothing typed is not checked at all.
void CheckTaxpayerField(const TMaskEdit& field, bool (*isValid)(std::string_view),
                        const char* valid, const char* invalid) {
  if (field.IsBlank()) return;
  if (isValid(DigitsOf(field.Text())))
    ShowVerdict(valid, mtInformation);
  else
    ShowVerdict(invalid, mtWarning);
}

}  // namespace

std::string VerdictMessage(const std::string& verdict) {
  return std::string(kVerdictPrefix) + "\r\r" + verdict;
}

// --- The checks ---

void TFormPrincipal::ButCGCClick(TObject*) {
  CheckTaxpayerField(*EditCGC, ValidaCGC, kCgcValid, kCgcInvalid);
}

void TFormPrincipal::ButCPFClick(TObject*) {
  CheckTaxpayerField(*EditCPF, ValidaCPF, kCpfValid, kCpfInvalid);
}

void TFormPrincipal::MorCircButton3Click(TObject*) {
  if (EditDate->IsBlank()) {
    ShowVerdict(kCardInvalid, mtWarning);
    return;
  }
  MorVerifyCard1->SetCardNumber(EditCreditCard->Text());
  MorVerifyCard1->SetCardTypeFromName(ComboBox1->Text());
  // The month and year follow the user's regional settings; a text that is not a date there
  // (month 00 or 13, another separator) makes the card invalid rather than an error.
  TDateTime expiry = 0;
  if (!TryStrToDate(kFirstDayOfMonth + EditDate->Text(), expiry, CurrentShortDateSettings())) {
    ShowVerdict(kCardInvalid, mtWarning);
    return;
  }
  MorVerifyCard1->SetExprDate(expiry);
  switch (MorVerifyCard1->Valid()) {
    case ccvValid:
      ShowVerdict(kCardValid, mtInformation);
      break;
    case ccvInvalid:
      ShowVerdict(kCardInvalid, mtWarning);
      break;
    case ccvExpired:
      ShowVerdict(kCardExpired, mtError);
      break;
  }
}

// --- Enter in the fields ---

void TFormPrincipal::EditCGCKeyPress(TObject* sender, char& key) {
  if (key == kEnter && !EditCGC->IsBlank()) ButCGCClick(sender);
}

void TFormPrincipal::EditCPFKeyPress(TObject* sender, char& key) {
  if (key == kEnter && !EditCPF->IsBlank()) ButCPFClick(sender);
}

// --- The window ---

void TFormPrincipal::MorCircButton4Click(TObject*) {
  Close();
}

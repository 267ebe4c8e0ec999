// The main window: showing it from the tray over a copy of the desktop, hiding it when the
// application loses activation, the popup menu, and the checks with the message box that
// answers each. Layer: the program (app/).
#include "app/Principal.h"

#include "app/Creditos.h"
#include "app/Licenca.h"
#include "app/Principal.form.h"
#include "controls/circbutton/MorCircBut.h"
#include "controls/tray/LwTray95.h"
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

const bool kRegistered =
    (PublishClass<TFormPrincipal, TForm>("TFormPrincipal")
         .Field("Image1", &TFormPrincipal::Image1)
         .Field("Image2", &TFormPrincipal::Image2)
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
         .Field("LwTrayIcon951", &TFormPrincipal::LwTrayIcon951)
         .Field("PopupMenu1", &TFormPrincipal::PopupMenu1)
         .Field("Verifica1", &TFormPrincipal::Verifica1)
         .Field("N2", &TFormPrincipal::N2)
         .Field("Menu_Licenca", &TFormPrincipal::Menu_Licenca)
         .Field("Menu_Creditos", &TFormPrincipal::Menu_Creditos)
         .Field("N1", &TFormPrincipal::N1)
         .Field("Menu_Fechar", &TFormPrincipal::Menu_Fechar)
         .Handler("FormCreate", &TFormPrincipal::FormCreate)
         .Handler("FormShow", &TFormPrincipal::FormShow)
         .Handler("LwTrayIcon951DblClick", &TFormPrincipal::LwTrayIcon951DblClick)
         .Handler("Verifica1Click", &TFormPrincipal::Verifica1Click)
         .Handler("Menu_LicencaClick", &TFormPrincipal::Menu_LicencaClick)
         .Handler("Menu_CreditosClick", &TFormPrincipal::Menu_CreditosClick)
         .Handler("Menu_FecharClick", &TFormPrincipal::Menu_FecharClick)
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

void TFormPrincipal::FormCreate(TObject*) {
  ActivatePreviousInstance(Application, true);
  CapturaFundo();
  Application->OnMessage = {this, &TFormPrincipal::AppMessage};
}

void TFormPrincipal::CapturaFundo() {
  if (Visible()) Hide();
  CopyDesktop();
  SetVisible(true);
}

void TFormPrincipal::FormShow(TObject*) {
  if (ReadFileVersion(MorSystemInfo->LocalDir() + kExeFileName, ExeVersion))
    LbVer->SetCaption(ExeVersion);
  else
    LbVer->SetCaption("");
  TCanvas& background = Image1->Canvas();
  background.FillRect(RECT{0, 0, Image1->Width(), Image1->Height()});
  CopyDesktop();
  SetActiveControl(EditCGC);
}

// The window has no frame, so its corner on the screen is also the corner of its client area.
// The results are not examined: a failed copy leaves the image as it was (white, when shown).
void TFormPrincipal::CopyDesktop() {
  FDesktopWnd = GetDesktopWindow();
  FDesktopDC = GetDC(FDesktopWnd);
  BitBlt(Image1->Canvas().Handle(), 0, 0, Image1->Width(), Image1->Height(), FDesktopDC, Left(),
         Top(), SRCCOPY);
  ReleaseDC(FDesktopWnd, FDesktopDC);
  FDesktopDC = nullptr;
  Image1->Invalidate();
}

void TFormPrincipal::AppMessage(MSG& msg, bool&) {
  if (msg.message != CM_DEACTIVATE) return;
  if (FIgnoreNextDeactivate)
    FIgnoreNextDeactivate = false;
  else
    Hide();
}

void TFormPrincipal::MorCircButton4Click(TObject*) {
  Hide();
}

// --- The tray icon and its menu ---

void TFormPrincipal::LwTrayIcon951DblClick(TObject*) {
  FormLicence->Hide();
  FormCredito->Hide();
  Application->ProcessMessages();
  CapturaFundo();
  SetWindowState(wsNormal);
  Show();
}

void TFormPrincipal::Verifica1Click(TObject* sender) {
  FIgnoreNextDeactivate = true;
  LwTrayIcon951DblClick(sender);
}

void TFormPrincipal::Menu_LicencaClick(TObject*) {
  FormCredito->Hide();
  FormLicence->Show();
}

void TFormPrincipal::Menu_CreditosClick(TObject*) {
  FormLicence->Hide();
  FormCredito->Show();
}

void TFormPrincipal::Menu_FecharClick(TObject*) {
  Close();
}

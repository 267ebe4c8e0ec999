// Message boxes and modal forms. Toolkit layer.
#include "toolkit/Dialogs.h"

#include <algorithm>
#include <memory>

#include "toolkit/ExtCtrls.h"

namespace {

constexpr int kSignSize = 32;
constexpr int kHorzMargin = 12;
constexpr int kVertMargin = 13;
constexpr int kHorzSpacing = 15;
constexpr int kVertSpacing = 16;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonSpacing = 6;

struct TButtonInfo {
  const char* Caption;
  int Result;
};

const TButtonInfo kButtonInfo[] = {
    {"&Yes", mrYes},
    {"&No", mrNo},
    {"OK", mrOk},
    {"Cancel", mrCancel},
    {"&Abort", mrAbort},
    {"&Retry", mrRetry},
    {"&Ignore", mrIgnore},
    {"&All", mrAll},
    {"N&o to All", mrNoToAll},
    {"Yes to &All", mrYesToAll},
    {"&Help", mrNone},
};

// Disables the windows of the program while a modal form runs and enables them again after.
class TDisabledWindows {
 public:
  explicit TDisabledWindows(HWND except) {
    Disable(Application->Handle(), except);
    for (TCustomForm* form : Screen->FormList())
      if (form->HandleAllocated()) Disable(form->Handle(), except);
  }
  ~TDisabledWindows() {
    for (HWND window : FWindows)
      if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  TDisabledWindows(const TDisabledWindows&) = delete;
  TDisabledWindows& operator=(const TDisabledWindows&) = delete;

 private:
  void Disable(HWND window, HWND except) {
    if (window == nullptr || window == except || !IsWindowEnabled(window)) return;
    EnableWindow(window, FALSE);
    FWindows.push_back(window);
  }
  std::vector<HWND> FWindows;
};

// The first of OK and Yes present is the default button; Cancel, else No, else OK cancels.
TMsgDlgBtn DefaultButton(TMsgDlgButtons buttons) {
  return buttons.Contains(mbOK) ? mbOK : buttons.Contains(mbYes) ? mbYes : mbHelp;
}

TMsgDlgBtn CancelButton(TMsgDlgButtons buttons) {
  return buttons.Contains(mbCancel) ? mbCancel
         : buttons.Contains(mbNo)   ? mbNo
         : buttons.Contains(mbOK)   ? mbOK
                                    : mbHelp;
}

}  // namespace

// --- Modal forms ---

int TModalForm::ShowModal() {
  if (Visible()) throw EInvalidOperation("Cannot make a visible window modal");
  FModalResult = mrNone;
  TControl::CancelMouseCapture();
  {
    TDisabledWindows disabled(Handle());
    Show();
    while (FModalResult == mrNone) {
      if (Application->Terminated()) {
        FModalResult = mrCancel;
        break;
      }
      Application->HandleMessage();
      if (FModalResult == mrNone && !Visible()) FModalResult = mrCancel;
    }
  }
  // The other windows are enabled first, so that the window below takes the activation back.
  Hide();
  return FModalResult;
}

// --- The standard message box ---

std::string MessageCaption(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return "Warning";
    case mtError:
      return "Error";
    case mtInformation:
      return "Information";
    case mtConfirmation:
      return "Confirmation";
    default:
      return Application->Title();
  }
}

void DrawMessageSign(TBitmap& bitmap, TMsgDlgType type) {
  bitmap.SetSize(kSignSize, kSignSize);
  TCanvas& c = bitmap.Canvas();
  c.Brush().SetColor(clBtnFace);
  c.FillRect(RECT{0, 0, kSignSize, kSignSize});
  c.Pen().SetColor(clBlack);
  switch (type) {
    case mtWarning:
      c.Brush().SetColor(clYellow);
      c.Polygon({{16, 1}, {31, 30}, {1, 30}});
      c.Brush().SetColor(clBlack);
      c.FillRect(RECT{15, 9, 18, 21});
      c.FillRect(RECT{15, 23, 18, 26});
      break;
    case mtError:
      c.Brush().SetColor(clRed);
      c.Ellipse(0, 0, kSignSize, kSignSize);
      c.Brush().SetColor(clWhite);
      for (int i = 0; i < 14; ++i) {
        c.FillRect(RECT{9 + i, 9 + i, 12 + i, 11 + i});
        c.FillRect(RECT{20 - i, 9 + i, 23 - i, 11 + i});
      }
      break;
    case mtInformation:
    case mtConfirmation:
      c.Brush().SetColor(clWhite);
      c.Ellipse(0, 0, kSignSize, kSignSize);
      c.Brush().SetColor(clBlue);
      if (type == mtInformation) {
        c.FillRect(RECT{14, 6, 18, 10});
        c.FillRect(RECT{14, 12, 18, 26});
      } else {
        c.Brush().SetStyle(bsClear);
        c.Font().SetName("Arial");
        c.Font().SetHeight(-22);
        c.Font().SetStyle({fsBold});
        c.Font().SetColor(clBlue);
        c.TextOut(10, 4, "?");
      }
      break;
    default:
      break;
  }
  bitmap.SetTransparent(true);
}

TMessageForm::TMessageForm(TComponent* owner, const std::string& message, TMsgDlgType type,
                           TMsgDlgButtons buttons, const std::string& caption)
    : TModalForm(owner), FKind(type) {
  SetBorderStyle(bsDialog);
  SetCaption(caption);
  Build(message, buttons);
}

void TMessageForm::Build(const std::string& message, TMsgDlgButtons buttons) {
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const UINT format = DT_EXPANDTABS | DT_WORDBREAK;
  const RECT text = TextBounds(*Font(), message, format, screenWidth / 2);
  int textLeft = kHorzMargin;
  if (FKind != mtCustom) {
    FSign = new TImage(this);
    FSign->SetParent(this);
    FSign->SetBounds(kHorzMargin, kVertMargin, kSignSize, kSignSize);
    DrawMessageSign(FSign->Picture().Bitmap(), FKind);
    FSign->SetTransparent(true);
    textLeft += kSignSize + kHorzSpacing;
  }
  FMessage = new TLabel(this);
  FMessage->SetParent(this);
  FMessage->SetAutoSize(false);
  FMessage->SetWordWrap(true);
  FMessage->SetBounds(textLeft, kVertMargin, text.right - text.left, text.bottom - text.top);
  FMessage->SetCaption(message);

  int count = 0;
  for (int b = mbYes; b <= mbHelp; ++b)
    count += buttons.Contains(TMsgDlgBtn(b)) ? 1 : 0;
  const int buttonsWidth = count * kButtonWidth + std::max(0, count - 1) * kButtonSpacing;
  const int contentHeight = std::max<int>(text.bottom - text.top, FSign ? kSignSize : 0);
  const int width = std::max<int>(textLeft + text.right - text.left, buttonsWidth) + kHorzMargin;
  const int clientWidth = std::max(width, kHorzMargin * 2 + kButtonWidth);
  const int buttonTop = kVertMargin + contentHeight + kVertSpacing;
  const int clientHeight = buttonTop + kButtonHeight + kVertMargin;

  int x = (clientWidth - buttonsWidth) / 2;
  const TMsgDlgBtn defaultButton = DefaultButton(buttons), cancelButton = CancelButton(buttons);
  for (int b = mbYes; b <= mbHelp; ++b) {
    if (!buttons.Contains(TMsgDlgBtn(b))) continue;
    auto* button = new TButton(this);
    button->SetParent(this);
    button->SetBounds(x, buttonTop, kButtonWidth, kButtonHeight);
    button->SetCaption(kButtonInfo[b].Caption);
    button->SetModalResult(kButtonInfo[b].Result);
    button->SetDefault(b == defaultButton);
    button->SetCancel(b == cancelButton);
    FButtons.push_back(button);
    x += kButtonWidth + kButtonSpacing;
  }
  // The window holds the frame around the client area.
  const SIZE frame = FrameSize();
  const int windowWidth = clientWidth + frame.cx, windowHeight = clientHeight + frame.cy;
  SetBounds((screenWidth - windowWidth) / 2, (screenHeight - windowHeight) / 2, windowWidth,
            windowHeight);
  for (TButton* button : FButtons)
    if (button->Default()) SetActiveControl(button);
  if (ActiveControl() == nullptr && !FButtons.empty()) SetActiveControl(FButtons.front());
}

int MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons,
               int helpContext) {
  std::unique_ptr<TMessageForm> form(
      new TMessageForm(nullptr, message, type, buttons, MessageCaption(type)));
  form->AfterConstruction();
  return form->ShowModal();
}

void ShowMessage(const std::string& message) {
  MessageDlg(message, mtCustom, {mbOK}, 0);
}

void ShowErrorBox(const std::string& title, const std::string& message) {
  std::unique_ptr<TMessageForm> form(
      new TMessageForm(nullptr, message, mtError, TMsgDlgButtons{mbOK}, title));
  form->AfterConstruction();
  form->ShowModal();
}

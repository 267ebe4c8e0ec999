// Message boxes: the standard modal message box with its caption, sign and buttons by kind,
// ShowMessage, the application's error box, and the modal form they run on. Toolkit layer.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

class TImage;

// A form shown modally: the program's other windows are disabled and a nested loop of the
// application runs until a modal result is set (a button with a modal result, or closing
// the form, which counts as mrCancel).
class TModalForm : public TForm {
 public:
  explicit TModalForm(TComponent* owner) : TForm(owner) {}
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int result) { FModalResult = result; }
  // Shows the form, runs the loop and returns the modal result; raises EInvalidOperation for
  // a form that is already visible.
  int ShowModal();

 private:
  int FModalResult = mrNone;
};

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp
};
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
constexpr int mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

// The standard message box. The text is shown with carriage returns (and line feeds) as line
// breaks and "&&" as one "&"; beside it the sign of its kind; below it the buttons, centred,
// the first of OK and Yes being the default (Enter) and Cancel, else No, else OK the cancel
// button (Esc). The box is centred on the screen.
class TMessageForm : public TModalForm {
 public:
  TMessageForm(TComponent* owner, const std::string& message, TMsgDlgType type,
               TMsgDlgButtons buttons, const std::string& caption);
  TMsgDlgType Kind() const { return FKind; }
  TLabel* Message() const { return FMessage; }
  TImage* Sign() const { return FSign; }
  const std::vector<TButton*>& Buttons() const { return FButtons; }

 private:
  void Build(const std::string& message, TMsgDlgButtons buttons);

  TMsgDlgType FKind;
  TLabel* FMessage = nullptr;
  TImage* FSign = nullptr;
  std::vector<TButton*> FButtons;
};

// The caption a box of this kind carries: "Warning", "Error", "Information", "Confirmation";
// a custom box carries the application's title.
std::string MessageCaption(TMsgDlgType type);
// Draws the sign of a kind (the exclamation mark, the stop sign, the information sign, the
// question mark) into a 32 by 32 bitmap; a custom box has none.
void DrawMessageSign(TBitmap& bitmap, TMsgDlgType type);

// Shows the box modally and returns the modal result of the button that closed it. The help
// context is accepted and not used: the program has no help file.
int MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons,
               int helpContext);
// A box with the application's title, no sign and one OK button.
void ShowMessage(const std::string& message);
// The application's standard error box: the stop sign, the given title and one OK button.
void ShowErrorBox(const std::string& title, const std::string& message);

// Message boxes and popup menus: captions, signs, text, the single OK button that answers
// Enter and Esc, centring, the modal loop with the other windows disabled; menus that return
// when closed and deliver the chosen item's click once.
#include "toolkit/Dialogs.h"

#include "tests/toolkit/ControlsHarness.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Menus.h"

namespace {

const std::string kPrefix = "Morvane Software && Systems informa:";

// The open menu's window, found by its class as another program would find it.
HWND FindWindowMenu() {
  for (HWND h = GetTopWindow(nullptr); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
    char name[64]{};
    GetClassNameA(h, name, sizeof name);
    if (std::string(name) == "TPopupMenuWindow" && IsWindowVisible(h)) return h;
  }
  return nullptr;
}

// The middle of the menu's row `row` (separators count) for a menu opened at `top`.
int RowMiddle(int top, const std::vector<bool>& separators, int row) {
  const int item = TextBounds(TFont(), "Wg", DT_SINGLELINE).bottom + 4;
  int y = top + 3;
  for (int i = 0; i < row; ++i)
    y += separators[i] ? 9 : item;
  return y + (separators[row] ? 9 : item) / 2;
}

TMessageForm* OpenBox() {
  for (TCustomForm* form : Screen->FormList())
    if (auto* box = dynamic_cast<TMessageForm*>(form); box != nullptr && box->Visible()) return box;
  return nullptr;
}

using MessageBoxTest = FormTest;

TEST_F(MessageBoxTest, EachKindHasItsCaptionSignTextAndOneOkButton) {
  struct TCase {
    TMsgDlgType Kind;
    const char* Caption;
    POINT SignPoint;
    TColor SignColor;
  };
  const TCase cases[] = {{mtWarning, "Warning", {10, 26}, clYellow},
                         {mtError, "Error", {16, 4}, clRed},
                         {mtInformation, "Information", {16, 20}, clBlue}};
  ShowForm();
  for (const TCase& c : cases) {
    const std::string message = kPrefix + "\r\r" + "C.G.C. v\xE1lido!!!";
    bool checked = false;
    After(50, [&] {
      TMessageForm* box = OpenBox();
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->Caption(), c.Caption);
      EXPECT_EQ(box->Kind(), c.Kind);
      EXPECT_EQ(box->Sign()->Picture().Bitmap().Canvas().Pixels(c.SignPoint.x, c.SignPoint.y),
                c.SignColor);
      EXPECT_EQ(box->Message()->Caption(), message);
      const int line = TextBounds(*box->Font(), "X", DT_SINGLELINE).bottom;
      EXPECT_EQ(box->Message()->Height(), 3 * line);  // prefix, empty line, verdict
      ASSERT_EQ(box->Buttons().size(), 1u);
      TButton* ok = box->Buttons()[0];
      EXPECT_EQ(ok->Caption(), "OK");
      EXPECT_TRUE(ok->Default());
      EXPECT_TRUE(ok->Cancel());
      EXPECT_TRUE(ok->Focused());
      EXPECT_EQ(box->Left(), (800 - box->Width()) / 2);
      EXPECT_EQ(box->Top(), (600 - box->Height()) / 2);
      EXPECT_FALSE(IsWindowEnabled(Form->Handle()));
      checked = true;
      headless::KeyPress(c.Kind == mtError ? VK_ESCAPE : VK_RETURN);
    });
    EXPECT_EQ(MessageDlg(message, c.Kind, {mbOK}, 0), mrOk);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(IsWindowEnabled(Form->Handle()));
    EXPECT_EQ(OpenBox(), nullptr);
  }
}

TEST_F(MessageBoxTest, TheBoxShowsOneAmpersandAndClosesWithAClickOnOk) {
  ShowForm();
  After(50, [&] {
    TMessageForm* box = OpenBox();
    ASSERT_NE(box, nullptr);
    // "&&" and "&" with the prefix rule off draw the same pixels.
    TBitmap shown(300, 20), literal(300, 20);
    RECT r{0, 0, 300, 20};
    shown.Canvas().DrawText("Morvane Software && Systems", r, DT_SINGLELINE);
    literal.Canvas().DrawText("Morvane Software & Systems", r, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(shown.SaveToBytes(), literal.SaveToBytes());
    TButton* ok = box->Buttons()[0];
    const POINT p = ok->ClientToScreen(POINT{10, 10});
    headless::Click(p.x, p.y);
  });
  EXPECT_EQ(MessageDlg(kPrefix, mtInformation, {mbOK}, 0), mrOk);
}

TEST_F(MessageBoxTest, TheApplicationShowsEscapedExceptionsInTheErrorBox) {
  Application->SetTitle("Calvix");
  auto* edit = new TEdit(Form.get());
  edit->SetParent(Form.get());
  edit->SetBounds(10, 10, 100, 21);
  edit->OnKeyPress = [](TObject*, char&) { throw EConvertError("'abc' is not a valid date"); };
  ShowForm();
  std::string caption, text;
  After(50, [&] {
    TMessageForm* box = OpenBox();
    ASSERT_NE(box, nullptr);
    caption = box->Caption();
    text = box->Message()->Caption();
    EXPECT_EQ(box->Kind(), mtError);
    headless::KeyPress(VK_RETURN);
  });
  const POINT p = edit->ClientToScreen(POINT{5, 5});
  headless::Click(p.x, p.y);
  headless::TypeText("a");
  headless::RunFor(200);
  EXPECT_EQ(caption, "Calvix");
  EXPECT_EQ(text, "'abc' is not a valid date.");
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(MessageBoxTest, ShowMessageCarriesTheTitleAndNoSign) {
  Application->SetTitle("Calvix");
  ShowForm();
  After(50, [&] {
    TMessageForm* box = OpenBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Caption(), "Calvix");
    EXPECT_EQ(box->Sign(), nullptr);
    headless::KeyPress(VK_ESCAPE);
  });
  ShowMessage("Pronto");
}

// --- Popup menus ---

using PopupMenuTest = FormTest;

struct TMenuFixture {
  explicit TMenuFixture(TComponent* owner) : Menu(new TPopupMenu(owner)) {
    for (const char* caption : {"Verifica", "-",
                                "Licen\xE7"
                                "a",
                                "Cr\xE9"
                                "ditos",
                                "-", "Fechar"}) {
      auto* item = new TMenuItem(owner);
      item->SetCaption(caption);
      const std::string name = caption;
      item->OnClick = [this, name](TObject*) { Clicks.push_back(name); };
      Menu->Items()->Add(item);
    }
  }
  TPopupMenu* Menu;
  std::vector<std::string> Clicks;
};

TEST_F(PopupMenuTest, ReturnsAfterAnItemClickWhoseEventFiresOnce) {
  TMenuFixture m(Form.get());
  ShowForm();
  After(20, [] {
    const int y = RowMiddle(200, {false, true, false, false, true, false}, 2);  // "Licença"
    headless::MovePointer(330, y);
    headless::Click(330, y);
  });
  m.Menu->Popup(300, 200);
  EXPECT_FALSE(m.Menu->IsShown());
  headless::RunPending();
  EXPECT_EQ(m.Clicks, std::vector<std::string>{"Licen\xE7"
                                               "a"});
  headless::RunPending();
  EXPECT_EQ(m.Clicks.size(), 1u);
}

TEST_F(PopupMenuTest, EscClosesWithoutAnEventAndTheKeyboardChooses) {
  TMenuFixture m(Form.get());
  ShowForm();
  After(20, [] { headless::KeyPress(VK_ESCAPE); });
  m.Menu->Popup(300, 200);
  headless::RunPending();
  EXPECT_TRUE(m.Clicks.empty());

  // Down twice skips the separator; Up wraps to the last item.
  After(20, [] {
    headless::KeyPress(VK_DOWN);
    headless::KeyPress(VK_DOWN);
    headless::KeyPress(VK_RETURN);
  });
  m.Menu->Popup(300, 200);
  After(20, [] {
    headless::KeyPress(VK_UP);
    headless::KeyPress(VK_RETURN);
  });
  m.Menu->Popup(300, 200);
  headless::RunPending();
  EXPECT_EQ(m.Clicks, (std::vector<std::string>{"Licen\xE7"
                                                "a",
                                                "Fechar"}));
}

TEST_F(PopupMenuTest, APressOutsideClosesTheMenuAndNearTheEdgeItTurnsAround) {
  TMenuFixture m(Form.get());
  ShowForm();
  RECT shown{};
  After(20, [&] {
    const HWND menu = FindWindowMenu();
    ASSERT_NE(menu, nullptr);
    GetWindowRect(menu, &shown);
    headless::Click(10, 10);
  });
  m.Menu->Popup(790, 590);
  headless::RunPending();
  EXPECT_TRUE(m.Clicks.empty());
  EXPECT_LE(shown.right, 800);
  EXPECT_LE(shown.bottom, 600);
  EXPECT_EQ(shown.right, 790);
}

}  // namespace

namespace {

// A control that opens a message box while its button is held down.
class TPressOpensBox : public TGraphicControl {
 public:
  explicit TPressOpensBox(TComponent* owner) : TGraphicControl(owner) {}
  int Moves = 0;

 protected:
  void MouseDown(TMouseButton, TShiftState, int, int) override {
    MessageDlg("Aten\xE7\xE3o", mtWarning, {mbOK}, 0);
  }
  void MouseMove(TShiftState, int, int) override { ++Moves; }
};

using ModalTest = FormTest;

TEST_F(ModalTest, TheBoxTakesThePointerFromAPressAndTheFormIgnoresInputMeanwhile) {
  auto* edit = new TEdit(Form.get());
  edit->SetParent(Form.get());
  edit->SetBounds(10, 10, 100, 21);
  auto* hot = new TPressOpensBox(Form.get());
  hot->SetParent(Form.get());
  hot->SetBounds(10, 100, 50, 50);
  ShowForm();
  bool closed = false;
  int movesBefore = -1;
  After(50, [&] {
    TMessageForm* box = OpenBox();
    ASSERT_NE(box, nullptr);
    movesBefore = hot->Moves;
    const POINT onEdit = edit->ClientToScreen(POINT{5, 5});
    headless::Click(onEdit.x, onEdit.y);  // the form is disabled: nothing happens
    const POINT ok = box->Buttons()[0]->ClientToScreen(POINT{10, 10});
    headless::MovePointer(ok.x, ok.y);
    headless::Click(ok.x, ok.y);  // reaches the box although a press began on the form
    headless::RunPending();
    closed = true;
    EXPECT_EQ(hot->Moves, movesBefore);  // the pointer left the pressed control meanwhile
  });
  const POINT p = hot->ClientToScreen(POINT{5, 5});
  headless::Press(p.x, p.y);
  headless::RunFor(500);
  headless::Release(p.x, p.y);
  headless::RunPending();
  EXPECT_TRUE(closed);
  EXPECT_EQ(OpenBox(), nullptr);
  EXPECT_FALSE(edit->Focused());
}

}  // namespace

namespace {

using ButtonsTest = FormTest;

TEST_F(ButtonsTest, DefaultAndCancelButtonsFollowTheButtonSet) {
  ShowForm();
  // Enter: the first of OK and Yes; Esc: Cancel, else No.
  After(50, [] { headless::KeyPress(VK_RETURN); });
  EXPECT_EQ(MessageDlg("Continuar?", mtConfirmation, {mbYes, mbNo, mbCancel}, 0), mrYes);
  After(50, [] { headless::KeyPress(VK_ESCAPE); });
  EXPECT_EQ(MessageDlg("Continuar?", mtConfirmation, {mbYes, mbNo, mbCancel}, 0), mrCancel);
  After(50, [] { headless::KeyPress(VK_ESCAPE); });
  EXPECT_EQ(MessageDlg("Continuar?", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
  // Tab moves the focus to the next button; Enter then presses the focused one, and the
  // buttons sit side by side in the middle.
  After(50, [] {
    TMessageForm* box = OpenBox();
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->Buttons().size(), 3u);
    const TButton* yes = box->Buttons()[0];
    const TButton* cancel = box->Buttons()[2];
    EXPECT_EQ(yes->Left() + cancel->Left() + cancel->Width(), box->Width());
    EXPECT_EQ(yes->Caption(), "&Yes");
    headless::KeyPress(VK_TAB);
    headless::KeyPress(VK_RETURN);
  });
  EXPECT_EQ(MessageDlg("Continuar?", mtConfirmation, {mbYes, mbNo, mbCancel}, 0), mrNo);
  // Closing the box from its title bar counts as Cancel.
  After(50, [] { PostMessageA(OpenBox()->Handle(), WM_CLOSE, 0, 0); });
  EXPECT_EQ(MessageDlg("Continuar?", mtConfirmation, {mbYes, mbNo}, 0), mrCancel);
}

}  // namespace

// Windowless controls on a form: labels, edits, masked edits, combo boxes, list boxes, images,
// focus and tab order, pointer capture and painting order, checked at texts and pixels.
#include "toolkit/StdCtrls.h"

#include "tests/toolkit/ControlsHarness.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Mask.h"
#include "toolkit/Menus.h"
#include "toolkit/Streaming.h"

namespace {

template <class T>
T* Place(TForm& form, int left, int top, int width, int height) {
  auto* control = new T(&form);
  control->SetParent(&form);
  control->SetBounds(left, top, width, height);
  return control;
}

// --- Labels ---

using LabelTest = FormTest;

TEST_F(LabelTest, DoubleAmpersandShowsOneAndASingleOneMarksAMnemonic) {
  auto* marked = Place<TLabel>(*Form, 10, 10, 10, 10);
  marked->SetCaption("Software && Systems");
  auto* plain = Place<TLabel>(*Form, 10, 40, 10, 10);
  plain->SetShowAccelChar(false);
  plain->SetCaption("Software & Systems");
  EXPECT_EQ(marked->Width(), plain->Width());
  ShowForm();
  for (int x = 0; x < marked->Width(); ++x)
    for (int y = 0; y < marked->Height(); ++y)
      ASSERT_EQ(Pixel(10 + x, 10 + y), Pixel(10 + x, 40 + y)) << x << "," << y;

  auto* mnemonic = Place<TLabel>(*Form, 10, 70, 10, 10);
  mnemonic->SetCaption("&Fechar");
  auto* bare = Place<TLabel>(*Form, 10, 90, 10, 10);
  bare->SetCaption("Fechar");
  EXPECT_EQ(mnemonic->Width(), bare->Width());
}

TEST_F(LabelTest, RightAlignedAutoSizeKeepsTheRightEdge) {
  auto* version = Place<TLabel>(*Form, 308, 217, 33, 13);
  version->SetAlignment(taRightJustify);
  version->SetCaption("0.0.0.0");
  EXPECT_EQ(version->Left() + version->Width(), 341);
  version->SetCaption("2.1.3.13");
  EXPECT_EQ(version->Left() + version->Width(), 341);
  EXPECT_GT(version->Width(), 20);
  version->SetCaption("");
  EXPECT_EQ(version->Left() + version->Width(), 341);
  version->SetCaption("10.20.30.40");
  EXPECT_EQ(version->Left() + version->Width(), 341);
  EXPECT_EQ(version->Top(), 217);

  auto* left = Place<TLabel>(*Form, 20, 20, 33, 13);
  left->SetCaption("2.1.3.13");
  EXPECT_EQ(left->Left(), 20);
}

TEST_F(LabelTest, WordWrapKeepsTheWidthAndTransparentLeavesTheBackground) {
  auto* wrapped = Place<TLabel>(*Form, 21, 177, 68, 41);
  wrapped->SetAutoSize(false);
  wrapped->SetWordWrap(true);
  wrapped->SetTransparent(true);
  wrapped->SetCaption("Tipo, validade e numero do cart\xE3o");
  EXPECT_EQ(wrapped->Width(), 68);
  auto* opaque = Place<TLabel>(*Form, 200, 20, 10, 10);
  opaque->SetColor(clYellow);
  opaque->SetCaption("x");
  ShowForm();
  EXPECT_EQ(Pixel(21 + 67, 177 + 40), clSilver);  // the form shows through
  EXPECT_EQ(Pixel(200 + opaque->Width() - 1, 20), clYellow);
}

// --- Edits ---

using EditTest = FormTest;

TEST_F(EditTest, TypingStopsAtTheMaximumLengthAndKeysEdit) {
  auto* edit = Place<TEdit>(*Form, 95, 199, 134, 21);
  edit->SetMaxLength(20);
  ShowForm();
  Click(edit, 5, 5);
  EXPECT_TRUE(edit->Focused());
  Type("1234 5678-9012 3456 7890 1234");
  EXPECT_EQ(edit->Text(), "1234 5678-9012 3456 ");
  Key(VK_HOME);
  Key(VK_DELETE);
  Key(VK_END);
  Key(VK_BACK);
  EXPECT_EQ(edit->Text(), "234 5678-9012 3456");
  Key(VK_HOME);
  ShiftKey(VK_RIGHT);
  ShiftKey(VK_RIGHT);
  EXPECT_EQ(edit->SelText(), "23");
  headless::KeyDown(VK_CONTROL);
  headless::KeyPress('C');
  headless::KeyUp(VK_CONTROL);
  headless::RunPending();
  Key(VK_END);
  headless::KeyDown(VK_CONTROL);
  headless::KeyPress('V');
  headless::KeyUp(VK_CONTROL);
  headless::RunPending();
  EXPECT_EQ(edit->Text(), "234 5678-9012 345623");
  EXPECT_EQ(ClipboardText(), "23");
}

TEST_F(EditTest, KeyPressHandlerSeesEnterFirstAndMayConsumeKeys) {
  auto* edit = Place<TEdit>(*Form, 10, 10, 100, 21);
  int enters = 0;
  edit->OnKeyPress = [&](TObject* sender, char& key) {
    EXPECT_EQ(sender, edit);
    if (key == '\r') ++enters;
    if (key == 'x') key = 0;  // the handler keeps this one out
  };
  ShowForm();
  Click(edit, 5, 5);
  Type("axb");
  Key(VK_RETURN);
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(edit->Text(), "ab");
}

TEST_F(EditTest, MaskedFieldsTakeDigitsOnlyAndReadByTheirRules) {
  auto* cgc = Place<TMaskEdit>(*Form, 95, 110, 135, 21);
  cgc->SetEditMask("99\\.999\\.999\\/9999\\-99;0;_");
  auto* date = Place<TMaskEdit>(*Form, 175, 175, 54, 21);
  date->SetEditMask("99\\/9999;1;_");
  date->SetText("  /    ");
  EXPECT_EQ(cgc->Text(), "");
  EXPECT_TRUE(cgc->IsBlank());
  EXPECT_EQ(cgc->EditText(), "__.___.___/____-__");
  EXPECT_EQ(date->Text(), "  /    ");
  EXPECT_TRUE(date->IsBlank());
  ShowForm();

  Click(cgc, 3, 5);
  Type("11a.22");
  EXPECT_EQ(cgc->EditText(), "11.22_.___/____-__");
  EXPECT_EQ(cgc->Text(), "1122");
  Key(VK_BACK);
  EXPECT_EQ(cgc->Text(), "112");
  Key(VK_HOME);
  Key(VK_RIGHT);
  Key(VK_DELETE);
  EXPECT_EQ(cgc->Text(), "1 2");  // a skipped position reads as a space
  EXPECT_FALSE(cgc->IsBlank());
  cgc->SelectAll();
  Type("11222333000181x9");
  EXPECT_EQ(cgc->Text(), "11222333000181");
  EXPECT_EQ(cgc->EditText(), "11.222.333/0001-81");

  Click(date, 3, 5);
  Type("072001");
  EXPECT_EQ(date->Text(), "07/2001");
  date->SelectAll();
  Key(VK_DELETE);
  EXPECT_EQ(date->Text(), "  /    ");
}

// --- Combo boxes and lists ---

using ComboTest = FormTest;

TEST_F(ComboTest, KeepsTypedTextAndPicksItemsFromItsList) {
  auto* combo = Place<TComboBox>(*Form, 95, 175, 77, 21);
  for (const char* brand : {"Amex", "Visa", "MasterCard", "Discover", "Other"})
    combo->Items().Add(brand);
  combo->SetItemHeight(13);
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  ShowForm();
  Click(combo, 5, 5);
  Type("Hipercard");
  EXPECT_EQ(combo->Text(), "Hipercard");
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_GT(changes, 0);

  Click(combo, 70, 10);  // the button opens the list below the field
  ASSERT_TRUE(combo->DroppedDown());
  const POINT below = ScreenPoint(combo, 10, 21 + 1 + 13 + 6);  // the second item
  headless::MovePointer(below.x, below.y);
  headless::Click(below.x, below.y);
  headless::RunPending();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "Visa");
  EXPECT_EQ(combo->ItemIndex(), 1);

  // The keyboard: F4 opens, arrows move, Enter picks; Esc closes without a change.
  Key(VK_F4);
  ASSERT_TRUE(combo->DroppedDown());
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_EQ(combo->Text(), "MasterCard");
  Key(VK_F4);
  Key(VK_DOWN);
  Key(VK_ESCAPE);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "MasterCard");

  // A press outside the open list closes it.
  Click(combo, 70, 10);
  ASSERT_TRUE(combo->DroppedDown());
  Click(Form.get(), 350, 20);
  EXPECT_FALSE(combo->DroppedDown());
}

TEST_F(ComboTest, ListBoxScrollsItsItems) {
  auto* list = Place<TListBox>(*Form, 10, 10, 200, 154);
  list->SetBorderStyle(bsNone);
  list->SetItemHeight(13);
  for (int i = 0; i < 32; ++i)
    list->Items().Add("line " + std::to_string(i));
  EXPECT_EQ(list->VisibleItems(), 11);
  ShowForm();
  Click(list, 190, 150);  // the lower arrow of the scroll bar
  EXPECT_EQ(list->TopIndex(), 1);
  Click(list, 190, 2);
  EXPECT_EQ(list->TopIndex(), 0);
  Click(list, 20, 13 * 3 + 2);
  EXPECT_EQ(list->ItemIndex(), 3);
  Key(VK_END);
  EXPECT_EQ(list->ItemIndex(), 31);
  EXPECT_EQ(list->TopIndex(), 32 - 11);
  list->SetTopIndex(1000);
  EXPECT_EQ(list->TopIndex(), 21);
}

// --- Focus and tab order ---

using FocusTest = FormTest;

TEST_F(FocusTest, TabFollowsTabOrderAndSkipsControlsThatAreNoTabStops) {
  auto* cgc = Place<TMaskEdit>(*Form, 95, 110, 135, 21);
  auto* cpf = Place<TMaskEdit>(*Form, 95, 145, 135, 21);
  auto* combo = Place<TComboBox>(*Form, 95, 175, 77, 21);
  auto* date = Place<TMaskEdit>(*Form, 175, 175, 54, 21);
  auto* card = Place<TEdit>(*Form, 95, 199, 134, 21);
  card->SetTabOrder(0);  // placed last, moved first, then put back in place
  for (auto* masked : {cgc, cpf, date})
    masked->SetTabStop(false);
  cgc->SetTabOrder(0);
  cpf->SetTabOrder(1);
  combo->SetTabOrder(2);
  date->SetTabOrder(3);
  card->SetTabOrder(4);
  EXPECT_EQ(card->TabOrder(), 4);
  EXPECT_EQ(date->TabOrder(), 3);
  ShowForm();
  Click(cgc, 5, 5);
  EXPECT_TRUE(cgc->Focused());
  Key(VK_TAB);
  EXPECT_TRUE(combo->Focused());
  Key(VK_TAB);
  EXPECT_TRUE(card->Focused());
  Key(VK_TAB);
  EXPECT_TRUE(combo->Focused());
  ShiftKey(VK_TAB);
  EXPECT_TRUE(card->Focused());
  card->SetVisible(false);
  Key(VK_TAB);
  EXPECT_TRUE(combo->Focused());
}

// --- Graphic controls ---

// Records the pointer notifications a graphic control receives.
class TRecorder : public TGraphicControl {
 public:
  explicit TRecorder(TComponent* owner) : TGraphicControl(owner) {}
  std::vector<std::string> Events;

 protected:
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
    Events.push_back("down " + Where(x, y) + (s.Contains(ssDouble) ? " double" : "") +
                     (MouseCapture() ? " captured" : ""));
  }
  void MouseMove(TShiftState s, int x, int y) override { Events.push_back("move " + Where(x, y)); }
  void MouseUp(TMouseButton b, TShiftState s, int x, int y) override {
    Events.push_back("up " + Where(x, y));
  }
  void Click() override { Events.push_back("click"); }
  void Paint() override {
    Canvas().Brush().SetColor(clRed);
    Canvas().FillRect(ClientRect());
  }

 private:
  static std::string Where(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
};

using GraphicTest = FormTest;

TEST_F(GraphicTest, ThePressingControlKeepsThePointerUntilRelease) {
  auto* button = Place<TRecorder>(*Form, 234, 107, 77, 30);
  ShowForm();
  const POINT in = ScreenPoint(button, 10, 10), out = ScreenPoint(button, 100, -20);
  headless::MovePointer(in.x, in.y);
  headless::Press(in.x, in.y);
  headless::MovePointer(out.x, out.y);
  headless::Release(out.x, out.y);
  headless::RunPending();
  const std::vector<std::string> expected = {"move 10,10", "down 10,10 captured", "move 100,-20",
                                             "up 100,-20"};
  EXPECT_EQ(button->Events, expected);

  button->Events.clear();
  headless::Advance(GetDoubleClickTime() + 1);  // the first press may not pair with the last
  headless::DoubleClick(in.x, in.y);
  headless::RunPending();
  std::vector<std::string> presses;
  for (const std::string& e : button->Events)
    if (e.rfind("move", 0) != 0) presses.push_back(e);
  const std::vector<std::string> doubled = {"down 10,10 captured",        "click", "up 10,10",
                                            "down 10,10 double captured", "click", "up 10,10"};
  EXPECT_EQ(presses, doubled);
}

TEST_F(GraphicTest, EditsLieAboveGraphicControlsPlacedAfterThem) {
  auto* edit = Place<TEdit>(*Form, 20, 20, 100, 21);
  auto* image = Place<TRecorder>(*Form, 0, 0, 200, 100);  // placed later, drawn below
  ShowForm();
  EXPECT_EQ(Pixel(5, 5), clRed);
  EXPECT_EQ(Pixel(60, 30), clWhite);  // the edit's inside
  EXPECT_EQ(Pixel(20, 20), clGray);   // its sunken border
  Click(image, 60, 30);
  EXPECT_TRUE(edit->Focused());  // the click reached the edit, not the picture below it
  EXPECT_TRUE(image->Events.empty() || image->Events.back().rfind("move", 0) == 0);
}

TEST_F(GraphicTest, TransparentImagesShowWhatLiesBelow) {
  auto* background = Place<TImage>(*Form, 0, 0, 40, 40);
  background->Canvas().Brush().SetColor(clNavy);
  background->Canvas().FillRect(RECT{0, 0, 40, 40});
  auto* skin = Place<TImage>(*Form, 0, 0, 40, 40);
  TBitmap& picture = skin->Picture().Bitmap();
  picture.SetSize(20, 20);
  picture.SetPixelFormat(pf8bit);
  picture.Canvas().Brush().SetColor(clYellow);
  picture.Canvas().FillRect(RECT{5, 5, 15, 15});
  skin->SetStretch(true);
  skin->SetTransparent(true);
  ShowForm();
  EXPECT_EQ(Pixel(2, 2), clNavy);  // white in the skin: see-through
  EXPECT_EQ(Pixel(20, 20), clYellow);
  EXPECT_EQ(Pixel(38, 38), clNavy);
  skin->SetTransparent(false);
  headless::RunPending();
  EXPECT_EQ(Pixel(2, 2), clWhite);
}

TEST_F(GraphicTest, ARightClickOnAnImageOpensItsMenu) {
  auto* image = Place<TImage>(*Form, 0, 0, 356, 259);
  auto* menu = new TPopupMenu(Form.get());
  auto* item = new TMenuItem(Form.get());
  item->SetCaption("Verifica");
  menu->Items()->Add(item);
  image->SetPopupMenu(menu);
  int opened = 0;
  POINT where{};
  menu->OnPopup = [&](TObject*) {
    ++opened;
    GetCursorPos(&where);
    After(10, [] { headless::KeyPress(VK_ESCAPE); });
  };
  ShowForm();
  Click(image, 50, 60, headless::btRight);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(menu->PopupComponent(), image);
  EXPECT_FALSE(menu->IsShown());
  delete menu;  // the image forgets the menu it pointed at
  EXPECT_EQ(image->PopupMenu(), nullptr);
  Click(image, 50, 60, headless::btRight);
}

}  // namespace

namespace {

// --- Form descriptions ---

using DescriptionTest = FormTest;

TEST_F(DescriptionTest, ControlsTravelThroughADescriptionWithTheirPublishedValues) {
  auto* cgc = Place<TMaskEdit>(*Form, 95, 110, 135, 21);
  cgc->SetName("EditCGC");
  cgc->SetEditMask("99\\.999\\.999\\/9999\\-99;0;_");
  cgc->SetTabStop(false);
  auto* combo = Place<TComboBox>(*Form, 95, 175, 77, 21);
  combo->SetName("ComboBox1");
  combo->Items().Add("Amex");
  combo->Items().Add("Visa");
  combo->SetItemHeight(13);
  combo->SetCtl3D(false);
  auto* menu = new TPopupMenu(Form.get());
  menu->SetName("PopupMenu1");
  auto* item = new TMenuItem(Form.get());
  item->SetName("Menu_Fechar");
  item->SetCaption("Fechar");
  menu->Items()->Add(item);
  auto* skin = Place<TImage>(*Form, 0, 0, 356, 259);
  skin->SetName("Image2");
  skin->Picture().Bitmap().SetSize(4, 3);
  skin->Picture().Bitmap().SetPixelFormat(pf8bit);
  skin->Picture().Bitmap().Canvas().SetPixels(1, 1, clYellow);
  skin->SetTransparent(true);
  skin->SetPopupMenu(menu);
  auto* link = Place<TLabel>(*Form, 340, 309, 10, 10);
  link->SetName("Label9");
  link->SetCaption("www");
  link->SetCursor(crHandPoint);
  auto* list = Place<TListBox>(*Form, 133, 109, 369, 154);
  list->SetName("ListBox1");
  list->SetBorderStyle(bsNone);
  list->Items().Add(
      "LICEN\xC7"
      "A:");

  const std::string text = WriteComponent(*Form);
  std::unique_ptr<TForm> copy(CreateComponent<TForm>(nullptr));
  ReadComponent(*copy, text);
  auto* cgc2 = dynamic_cast<TMaskEdit*>(copy->FindComponent("EditCGC"));
  ASSERT_NE(cgc2, nullptr);
  EXPECT_EQ(cgc2->EditMask(), cgc->EditMask());
  EXPECT_FALSE(cgc2->TabStop());
  EXPECT_EQ(cgc2->EditText(), "__.___.___/____-__");
  auto* combo2 = dynamic_cast<TComboBox*>(copy->FindComponent("ComboBox1"));
  ASSERT_NE(combo2, nullptr);
  EXPECT_EQ(combo2->Items().Count(), 2);
  EXPECT_EQ(combo2->ItemHeight(), 13);
  EXPECT_FALSE(combo2->Ctl3D());
  auto* skin2 = dynamic_cast<TImage*>(copy->FindComponent("Image2"));
  ASSERT_NE(skin2, nullptr);
  EXPECT_TRUE(skin2->Transparent());
  EXPECT_EQ(skin2->Picture().Bitmap().Canvas().Pixels(1, 1), clYellow);
  ASSERT_NE(skin2->PopupMenu(), nullptr);
  EXPECT_EQ(skin2->PopupMenu()->Items()->Count(), 1);
  EXPECT_EQ(skin2->PopupMenu()->Items()->Items(0)->Caption(), "Fechar");
  auto* link2 = dynamic_cast<TLabel*>(copy->FindComponent("Label9"));
  ASSERT_NE(link2, nullptr);
  EXPECT_EQ(link2->Cursor(), crHandPoint);
  auto* list2 = dynamic_cast<TListBox*>(copy->FindComponent("ListBox1"));
  ASSERT_NE(list2, nullptr);
  EXPECT_EQ(list2->BorderStyle(), bsNone);
  EXPECT_EQ(list2->Items()[0],
            "LICEN\xC7"
            "A:");
  EXPECT_EQ(WriteComponent(*copy), text);
}

}  // namespace

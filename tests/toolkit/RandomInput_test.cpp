// Thousands of seeded random keystrokes and clicks into a form with every kind of control:
// nothing escapes the loop, nothing crashes, every field stays within its length and every
// list's selection inside the list.
#include <random>

#include "tests/toolkit/ControlsHarness.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Mask.h"
#include "toolkit/StdCtrls.h"

namespace {

using RandomInputTest = FormTest;

TEST_F(RandomInputTest, KeysAndClicksLeaveEveryFieldSound) {
  std::vector<std::string> escaped;
  Application->OnException = [&](TObject*, const std::exception& e) {
    escaped.push_back(e.what());
  };
  auto place = [&](TControl* c, int l, int t, int w, int h) {
    c->SetParent(Form.get());
    c->SetBounds(l, t, w, h);
  };
  auto* image = new TImage(Form.get());
  place(image, 0, 0, 400, 300);
  image->Canvas().Brush().SetColor(clYellow);
  image->Canvas().FillRect(RECT{0, 0, 400, 300});
  auto* bevel = new TBevel(Form.get());
  place(bevel, 5, 5, 390, 290);
  auto* label = new TLabel(Form.get());
  place(label, 20, 20, 50, 13);
  label->SetCaption("Digite o C.G.C.");
  auto* cgc = new TMaskEdit(Form.get());
  place(cgc, 95, 110, 135, 21);
  cgc->SetEditMask("99\\.999\\.999\\/9999\\-99;0;_");
  auto* date = new TMaskEdit(Form.get());
  place(date, 175, 175, 54, 21);
  date->SetEditMask("99\\/9999;1;_");
  auto* combo = new TComboBox(Form.get());
  place(combo, 95, 175, 77, 21);
  for (const char* brand : {"Amex", "Visa", "MasterCard", "Discover", "Other"})
    combo->Items().Add(brand);
  combo->SetMaxLength(12);
  auto* brand = new TComboBox(Form.get());
  place(brand, 95, 250, 100, 21);
  brand->SetStyle(csDropDownList);
  for (const char* name : {"Amex", "Visa", "MasterCard"})
    brand->Items().Add(name);
  auto* card = new TEdit(Form.get());
  place(card, 95, 199, 134, 21);
  card->SetMaxLength(20);
  auto* list = new TListBox(Form.get());
  place(list, 250, 20, 120, 80);
  for (int i = 0; i < 30; ++i)
    list->Items().Add("item " + std::to_string(i));
  auto* button = new TButton(Form.get());
  place(button, 250, 250, 75, 25);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();

  const BYTE keys[] = {VK_TAB,  VK_RETURN, VK_ESCAPE, VK_BACK, VK_DELETE, VK_LEFT,  VK_RIGHT,
                       VK_HOME, VK_END,    VK_UP,     VK_DOWN, VK_F4,     VK_SPACE, VK_INSERT,
                       'A',     'Z',       '0',       '7',     '9',       VK_PRIOR, VK_NEXT};
  const BYTE modifiers[] = {0, VK_SHIFT, VK_CONTROL, VK_MENU};
  std::mt19937 random(20010701);
  for (int step = 0; step < 4000; ++step) {
    const int what = std::uniform_int_distribution<>(0, 9)(random);
    if (what < 3) {
      const int x = kFormLeft + std::uniform_int_distribution<>(-20, 420)(random);
      const int y = kFormTop + std::uniform_int_distribution<>(-20, 320)(random);
      const auto b = static_cast<headless::TButton>(std::uniform_int_distribution<>(0, 2)(random));
      if (what == 0)
        headless::DoubleClick(x, y, b);
      else if (what == 1)
        headless::Click(x, y, b);
      else
        headless::MovePointer(x, y);
    } else if (what < 7) {
      const BYTE modifier = modifiers[std::uniform_int_distribution<>(0, 3)(random)];
      if (modifier) headless::KeyDown(modifier);
      headless::KeyPress(keys[std::uniform_int_distribution<>(0, std::size(keys) - 1)(random)]);
      if (modifier) headless::KeyUp(modifier);
    } else {
      std::string text;
      for (int i = std::uniform_int_distribution<>(1, 6)(random); i > 0; --i)
        text.push_back(static_cast<char>(std::uniform_int_distribution<>(32, 255)(random)));
      headless::TypeText(text);
    }
    headless::RunPending();
    ASSERT_LE(card->Text().size(), 20u) << step;
    ASSERT_LE(combo->Text().size(), 12u) << step;
    ASSERT_LE(cgc->Text().size(), 14u) << step;
    ASSERT_EQ(cgc->EditText().size(), 18u) << step;
    ASSERT_EQ(date->Text().size(), 7u) << step;
    ASSERT_EQ(date->Text()[2], '/') << step;
    for (char c : cgc->Text())
      ASSERT_TRUE(c == ' ' || (c >= '0' && c <= '9')) << step;
    // Every selection stays inside its list or is -1, and a list that cannot be typed into
    // shows exactly its selected item.
    ASSERT_GE(list->ItemIndex(), -1) << step;
    ASSERT_LT(list->ItemIndex(), list->Items().Count()) << step;
    ASSERT_GE(combo->ItemIndex(), -1) << step;
    ASSERT_LT(combo->ItemIndex(), combo->Items().Count()) << step;
    ASSERT_GE(brand->ItemIndex(), -1) << step;
    ASSERT_LT(brand->ItemIndex(), brand->Items().Count()) << step;
    ASSERT_EQ(brand->Text(), brand->ItemIndex() < 0 ? "" : brand->Items()[brand->ItemIndex()])
        << step;
  }
  EXPECT_TRUE(escaped.empty()) << escaped.front();
}

}  // namespace

// The main window's checks driven through its real controls on the headless desktop: typing
// into the masked fields, choosing or typing a brand, clicking, Enter in the fields, and the
// message box each check ends in (or none, for a blank taxpayer field).
#include "app/Principal.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "controls/circbutton/MorCircBut.h"
#include "tests/app/ProgramHarness.h"
#include "toolkit/ExtCtrls.h"
#include "validation/MorVerifyCard.h"

namespace {

// What a message box showed before the test closed it.
struct TBoxSeen {
  std::string Caption;
  TMsgDlgType Kind = mtCustom;
  std::string Text;
  TColor SignPixel = clNone;
  size_t Buttons = 0;
};

const std::string kShownPrefix = "Morvane Software && Systems informa:\r\r";

TMessageForm* OpenBox() {
  for (TCustomForm* form : Screen->FormList())
    if (auto* box = dynamic_cast<TMessageForm*>(form); box != nullptr && box->Visible()) return box;
  return nullptr;
}

class PrincipalTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    headless::SetShortDateFormat("dd/MM/yyyy", "/");
    SetLocalTime(2026, 6, 15, 12);
    StartProgram();
    DoubleClickTrayIcon();
  }

  static void SetLocalTime(int year, int month, int day, int hour, int minute = 0, int second = 0) {
    SYSTEMTIME t{};
    t.wYear = WORD(year);
    t.wMonth = WORD(month);
    t.wDay = WORD(day);
    t.wHour = WORD(hour);
    t.wMinute = WORD(minute);
    t.wSecond = WORD(second);
    headless::SetLocalTime(t);
  }

  static void Click(TControl* control, int x, int y) { ClickOn(control, x, y); }
  // Puts the caret at the start of a field and types there.
  static void TypeInto(TControl* field, const std::string& text) {
    Click(field, 3, field->Height() / 2);
    headless::KeyPress(VK_HOME);
    headless::TypeText(text);
    Pump();
  }
  static void PressEnter() {
    headless::KeyPress(VK_RETURN);
    Pump();
  }

  // Runs `action`, which may open a message box; the box is read and closed with Enter from
  // inside its own modal loop. Nothing is returned when no box appeared.
  static std::optional<TBoxSeen> BoxAfter(const std::function<void()>& action) {
    std::optional<TBoxSeen> seen;
    bool closed = false;
    After(10, [&] {
      TMessageForm* box = OpenBox();
      if (box == nullptr) return;
      TBoxSeen s;
      s.Caption = box->Caption();
      s.Kind = box->Kind();
      s.Text = box->Message()->Caption();
      s.Buttons = box->Buttons().size();
      if (box->Sign() != nullptr) s.SignPixel = SignPixel(*box->Sign(), box->Kind());
      seen = s;
      headless::KeyPress(VK_RETURN);
      closed = true;
    });
    action();
    // A box that did not appear leaves the timer to fire harmlessly here.
    PumpFor(20);
    if (seen) {
      EXPECT_TRUE(closed);
    }
    EXPECT_EQ(OpenBox(), nullptr);
    return seen;
  }

  // A pixel of the sign that only the right picture has in that colour.
  static TColor SignPixel(TImage& sign, TMsgDlgType kind) {
    TCanvas& c = sign.Picture().Bitmap().Canvas();
    switch (kind) {
      case mtWarning:
        return c.Pixels(10, 26);
      case mtError:
        return c.Pixels(16, 4);
      default:
        return c.Pixels(16, 20);
    }
  }

  static void ExpectBox(const std::optional<TBoxSeen>& box, TMsgDlgType kind,
                        const std::string& verdict) {
    ASSERT_TRUE(box.has_value()) << "no message box for " << verdict;
    static const std::map<TMsgDlgType, std::pair<std::string, TColor>> kKinds = {
        {mtWarning, {"Warning", clYellow}},
        {mtError, {"Error", clRed}},
        {mtInformation, {"Information", clBlue}}};
    EXPECT_EQ(box->Kind, kind);
    EXPECT_EQ(box->Caption, kKinds.at(kind).first);
    EXPECT_EQ(box->SignPixel, kKinds.at(kind).second);
    EXPECT_EQ(box->Text, kShownPrefix + verdict);
    EXPECT_EQ(box->Buttons, 1u);
  }

  // The three check buttons, clicked in the middle of their faces.
  static void ClickButton(TMorCircButton* button) {
    Click(button, button->Width() / 2, button->Height() / 2);
  }
  static void ClickVerificaCGC() { ClickButton(FormPrincipal->MorCircButton1); }
  static void ClickVerificaCPF() { ClickButton(FormPrincipal->MorCircButton2); }
  static void ClickVerificaCard() { ClickButton(FormPrincipal->MorCircButton3); }

  // Picks a brand from the drop-down list with the mouse: the arrow button opens the list,
  // whose rows lie one under the other below the field.
  static void ChooseBrand(int index) {
    TComboBox* combo = FormPrincipal->ComboBox1;
    Click(combo, combo->Width() - 5, combo->Height() / 2);
    ASSERT_TRUE(combo->DroppedDown());
    Click(combo, 10, combo->Height() + 1 + index * combo->ItemHeight() + 6);
  }
  static void FillCard(const std::string& number, const std::string& date) {
    TypeInto(FormPrincipal->EditCreditCard, number);
    TypeInto(FormPrincipal->EditDate, date);
  }
};

// --- The window as its description makes it ---

TEST_F(PrincipalTest, TheDescriptionGivesTheFieldsTheirMasksLengthsAndTabOrder) {
  TFormPrincipal& f = *FormPrincipal;
  EXPECT_EQ(f.ClientWidth(), 356);
  EXPECT_EQ(f.ClientHeight(), 259);
  EXPECT_EQ(f.EditCGC->EditText(), "__.___.___/____-__");
  EXPECT_EQ(f.EditCPF->EditText(), "___.___.___-__");
  EXPECT_EQ(f.EditDate->EditText(), "__/____");
  EXPECT_EQ(f.EditCGC->Text(), "");
  EXPECT_EQ(f.EditDate->Text(), "  /    ");
  EXPECT_EQ(f.ComboBox1->Text(), "");
  ASSERT_EQ(f.ComboBox1->Items().Count(), 5);
  const char* brands[] = {"Amex", "Visa", "MasterCard", "Discover", "Other"};
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(f.ComboBox1->Items()[i], brands[i]);
  EXPECT_TRUE(f.EditCGC->Focused());
  EXPECT_EQ(f.EditCGC->OnKeyPress.HandlerName(), "EditCGCKeyPress");
  EXPECT_EQ(f.EditDate->OnKeyPress.HandlerName(), "EditCGCKeyPress");
  EXPECT_EQ(f.EditCPF->OnKeyPress.HandlerName(), "EditCPFKeyPress");
  ASSERT_NE(f.MorVerifyCard1, nullptr);
  ASSERT_NE(f.MorSystemInfo, nullptr);
  EXPECT_EQ(f.MorCircButton1->Caption(), "Verifica CGC");
  EXPECT_EQ(f.MorCircButton2->Caption(), "Verifica CPF");
  EXPECT_EQ(f.MorCircButton3->Caption(), "Verifica Card");
  EXPECT_EQ(f.MorCircButton4->Caption(), "x");
  EXPECT_EQ(f.MorCircButton1->OnClick.HandlerName(), "ButCGCClick");
  EXPECT_EQ(f.MorCircButton2->OnClick.HandlerName(), "ButCPFClick");
  EXPECT_EQ(f.MorCircButton3->OnClick.HandlerName(), "MorCircButton3Click");
  EXPECT_EQ(f.MorCircButton1->FaceColor(), clYellow);

  // Only the brand list and the card number are tab stops.
  f.ComboBox1->SetFocus();
  headless::KeyPress(VK_TAB);
  Pump();
  EXPECT_TRUE(f.EditCreditCard->Focused());
  headless::KeyPress(VK_TAB);
  Pump();
  EXPECT_TRUE(f.ComboBox1->Focused());
}

TEST_F(PrincipalTest, TheShapedButtonsShowTheirStoredFacesAsSoonAsTheWindowIsRead) {
  // A face is drawn only from the images its description stores: a window without them
  // would show bare background where the buttons are.
  const platform::Surface screen = headless::Screen();
  for (TMorCircButton* button : {FormPrincipal->MorCircButton1, FormPrincipal->MorCircButton2,
                                 FormPrincipal->MorCircButton3}) {
    ASSERT_FALSE(button->ImageOut().Empty()) << button->Name();
    // Above the caption, on the lit yellow face: red and green well above blue.
    const POINT p = button->ClientToScreen(POINT{button->Width() / 2, 6});
    const uint32_t rgb = screen.At(p.x, p.y);
    EXPECT_GT((rgb >> 16) & 0xFF, 0x80u) << button->Name();
    EXPECT_GT((rgb >> 8) & 0xFF, 0x80u) << button->Name();
    EXPECT_LT(rgb & 0xFF, 0x40u) << button->Name();
  }
}

// --- CGC ---

TEST_F(PrincipalTest, ABlankCgcFieldShowsNoBoxByButtonOrEnter) {
  EXPECT_FALSE(BoxAfter(ClickVerificaCGC));
  EXPECT_FALSE(BoxAfter([] {
    TypeInto(FormPrincipal->EditCGC, "");
    PressEnter();
  }));
}

TEST_F(PrincipalTest, CgcVerdictsForValidChangedAndPartlyTypedNumbers) {
  TypeInto(FormPrincipal->EditCGC, "11222333000181");
  EXPECT_EQ(FormPrincipal->EditCGC->EditText(), "11.222.333/0001-81");
  ExpectBox(BoxAfter(ClickVerificaCGC), mtInformation, "C.G.C. v\xE1lido!!!");
  ExpectBox(BoxAfter(PressEnter), mtInformation, "C.G.C. v\xE1lido!!!");

  TypeInto(FormPrincipal->EditCGC, "11222333000191");
  ExpectBox(BoxAfter(ClickVerificaCGC), mtWarning, "C.G.C. inv\xE1lido!!!");

  // Only some positions typed: fewer than fourteen digits.
  FormPrincipal->EditCGC->SetText("");
  TypeInto(FormPrincipal->EditCGC, "112223");
  ExpectBox(BoxAfter(PressEnter), mtWarning, "C.G.C. inv\xE1lido!!!");
  // The field keeps what was typed after the check.
  EXPECT_EQ(FormPrincipal->EditCGC->EditText(), "11.222.3__/____-__");
}

// --- CPF ---

TEST_F(PrincipalTest, CpfVerdictsByButtonAndEnterAndNothingForABlankField) {
  EXPECT_FALSE(BoxAfter(ClickVerificaCPF));
  EXPECT_FALSE(BoxAfter([] {
    TypeInto(FormPrincipal->EditCPF, "");
    PressEnter();
  }));

  TypeInto(FormPrincipal->EditCPF, "111.444.777-35");
  EXPECT_EQ(FormPrincipal->EditCPF->Text(), "11144477735");
  ExpectBox(BoxAfter(PressEnter), mtInformation, "C.P.F. v\xE1lido!!!");
  EXPECT_TRUE(FormPrincipal->EditCPF->Focused());

  TypeInto(FormPrincipal->EditCPF, "11144477745");
  ExpectBox(BoxAfter(ClickVerificaCPF), mtWarning, "C.P.F. inv\xE1lido!!!");

  FormPrincipal->EditCPF->SetText("");
  TypeInto(FormPrincipal->EditCPF, "1234");
  ExpectBox(BoxAfter(ClickVerificaCPF), mtWarning, "C.P.F. inv\xE1lido!!!");
}

// --- Enter in the date field ---

TEST_F(PrincipalTest, EnterInTheDateFieldRunsTheCgcCheckNotTheCardCheck) {
  FillCard("4111111111111111", "072026");
  ChooseBrand(1);
  EXPECT_FALSE(BoxAfter([] {
    TypeInto(FormPrincipal->EditDate, "07");
    PressEnter();
  }));
  TypeInto(FormPrincipal->EditCGC, "11222333000181");
  ExpectBox(BoxAfter([] {
              TypeInto(FormPrincipal->EditDate, "07");
              PressEnter();
            }),
            mtInformation, "C.G.C. v\xE1lido!!!");
}

// --- Cards ---

TEST_F(PrincipalTest, AnEmptyOrImpossibleExpiryMakesTheCardInvalid) {
  TypeInto(FormPrincipal->EditCreditCard, "4111111111111111");
  ChooseBrand(1);
  ExpectBox(BoxAfter(ClickVerificaCard), mtWarning,
            "Cart\xE3o de cr\xE9"
            "dito inv\xE1lido!!!");
  for (const char* month : {"13", "00"}) {
    TypeInto(FormPrincipal->EditDate, std::string(month) + "2030");
    ExpectBox(BoxAfter(ClickVerificaCard), mtWarning,
              "Cart\xE3o de cr\xE9"
              "dito inv\xE1lido!!!");
  }
  // The number and brand reached the verifier before the date was refused.
  EXPECT_EQ(FormPrincipal->MorVerifyCard1->CardNumber(), "4111111111111111");
  EXPECT_EQ(FormPrincipal->MorVerifyCard1->CardType(), ccVisa);
}

TEST_F(PrincipalTest, ACardIsGoodUntilItsExpiryMonthBegins) {
  // The local clock stands one second before July 2026.
  SetLocalTime(2026, 6, 30, 23, 59, 59);
  FillCard("4111 1111 1111 1111", "072026");
  ChooseBrand(1);
  EXPECT_EQ(FormPrincipal->ComboBox1->Text(), "Visa");
  ExpectBox(BoxAfter(ClickVerificaCard), mtInformation,
            "Cart\xE3o de cr\xE9"
            "dito v\xE1lido!!!");
  headless::Advance(1000);
  ExpectBox(BoxAfter(ClickVerificaCard), mtError,
            "Cart\xE3o de cr\xE9"
            "dito expirado!!!");
  // A card of the previous month stays expired; the same number under another brand is
  // invalid, whatever the date.
  TypeInto(FormPrincipal->EditDate, "062026");
  ExpectBox(BoxAfter(ClickVerificaCard), mtError,
            "Cart\xE3o de cr\xE9"
            "dito expirado!!!");
  ChooseBrand(2);
  ExpectBox(BoxAfter(ClickVerificaCard), mtWarning,
            "Cart\xE3o de cr\xE9"
            "dito inv\xE1lido!!!");
}

TEST_F(PrincipalTest, ATypedBrandIsPassedOnAsTypedAndTheNumberKeepsItsBlanksAndDashes) {
  // "visa " with a trailing blank is no brand the verifier knows: no prefix rule applies.
  TypeInto(FormPrincipal->ComboBox1, "visa ");
  FillCard("3411-1111-1111-111", "082026");
  ExpectBox(BoxAfter(ClickVerificaCard), mtInformation,
            "Cart\xE3o de cr\xE9"
            "dito v\xE1lido!!!");
  EXPECT_EQ(FormPrincipal->MorVerifyCard1->CardType(), ccOther);
  EXPECT_EQ(FormPrincipal->MorVerifyCard1->CardNumber(), "3411-1111-1111-111");

  // Typed in the list's own spelling of another case, a known brand applies its rule.
  FormPrincipal->ComboBox1->SetText("");
  TypeInto(FormPrincipal->ComboBox1, "AMEX");
  ExpectBox(BoxAfter(ClickVerificaCard), mtWarning,
            "Cart\xE3o de cr\xE9"
            "dito inv\xE1lido!!!");
  EXPECT_EQ(FormPrincipal->MorVerifyCard1->CardType(), ccAmex);
}

TEST_F(PrincipalTest, TheCardNumberFieldTakesAtMostTwentyCharacters) {
  TypeInto(FormPrincipal->EditCreditCard, "4111 1111 1111 1111 2222");
  EXPECT_EQ(FormPrincipal->EditCreditCard->Text(), "4111 1111 1111 1111 ");
}

TEST_F(PrincipalTest, TheExpiryFollowsTheRegionalDateSettings) {
  FillCard("4111111111111111", "072026");
  ChooseBrand(1);
  // Month first: "01/07/2026" is 7 January 2026, already past on 15 June 2026.
  headless::SetShortDateFormat("M/d/yyyy", "/");
  ExpectBox(BoxAfter(ClickVerificaCard), mtError,
            "Cart\xE3o de cr\xE9"
            "dito expirado!!!");
  // Another separator: the text is no date there.
  headless::SetShortDateFormat("dd.MM.yyyy", ".");
  ExpectBox(BoxAfter(ClickVerificaCard), mtWarning,
            "Cart\xE3o de cr\xE9"
            "dito inv\xE1lido!!!");
}

// The user goes to another program while a verdict is up and brings the window back from the
// tray: the window is still held by the box, and a second number with Enter runs no second
// check behind it.
TEST_F(PrincipalTest, TheWindowBroughtBackWhileAVerdictIsUpRunsNoSecondCheck) {
  TypeInto(FormPrincipal->EditCPF, "11144477736");
  int boxes = 0;
  bool backAgain = false;
  After(10, [&] {
    ClickOtherProgram();
    DoubleClickTrayIcon();
    backAgain = Shown(FormPrincipal);
    // Counts the boxes up a moment later (from inside a second box's loop, should one come)
    // and answers them all.
    After(10, [&] {
      for (TCustomForm* form : Screen->FormList())
        if (auto* box = dynamic_cast<TMessageForm*>(form); box != nullptr && box->Visible()) {
          ++boxes;
          box->SetModalResult(mrOk);
        }
    });
    headless::TypeText("11144477735");
    headless::KeyPress(VK_RETURN);
    PumpFor(20);
  });
  PressEnter();
  PumpFor(50);
  EXPECT_TRUE(backAgain);
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(OpenBox(), nullptr);
}

}  // namespace

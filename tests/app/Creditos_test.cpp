// The credits window in the whole program on the headless desktop: its layout as the
// description gives it (headings, teams, the maker's name and division), the version label,
// the division line's single ampersand on screen, and closing.
#include "app/Creditos.h"

#include <gtest/gtest.h>

#include "tests/app/ProgramHarness.h"

namespace {

void ExpectAt(const TControl* control, int left, int top) {
  EXPECT_EQ(control->Left(), left) << control->Name();
  EXPECT_EQ(control->Top(), top) << control->Name();
}

void ExpectFont(const TControl* control, const std::string& name, int height, TColor color,
                TFontStyles style = {}) {
  SCOPED_TRACE(control->Name());
  EXPECT_EQ(control->Font()->Name(), name);
  EXPECT_EQ(control->Font()->Height(), height);
  EXPECT_EQ(control->Font()->Color(), color);
  EXPECT_EQ(control->Font()->Style(), style);
}

class CreditosTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    StartProgram();
  }
  static void OpenCredits() {
    FormPrincipal->Menu_CreditosClick(FormPrincipal->Menu_Creditos);
    Pump();
  }
  // The labels of the window at a left edge, from the top down.
  static std::vector<TLabel*> LabelsAt(std::initializer_list<int> lefts) {
    std::vector<TLabel*> found;
    for (TControl* c : FormCredito->ControlList())
      if (auto* label = dynamic_cast<TLabel*>(c))
        for (const int left : lefts)
          if (label->Left() == left) found.push_back(label);
    std::sort(found.begin(), found.end(),
              [](const TLabel* a, const TLabel* b) { return a->Top() < b->Top(); });
    return found;
  }
};

TEST_F(CreditosTest, TheWindowIsAWhiteFixedDialogWithItsTitleAndPicture) {
  TFormCredito& f = *FormCredito;
  EXPECT_EQ(f.Caption(),
            "Cr\xE9"
            "ditos");
  EXPECT_EQ(f.BorderStyle(), bsDialog);
  EXPECT_EQ(f.BorderIcons(), TBorderIcons{biSystemMenu});
  EXPECT_EQ(f.ClientWidth(), 402);
  EXPECT_EQ(f.ClientHeight(), 377);
  EXPECT_EQ(f.Color(), clWhite);
  EXPECT_EQ(f.OnShow.HandlerName(), "FormShow");

  ExpectAt(f.Label7, 8, 0);
  ExpectAt(f.Label3, 14, 5);
  ExpectAt(f.Label6, 27, 51);
  EXPECT_EQ(f.Label3->Caption(), f.Label7->Caption());
  EXPECT_EQ(f.Label7->Caption() + f.Label6->Caption(), "Calvix");
  ExpectFont(f.Label7, "Times New Roman", -48, clMaroon);
  ExpectFont(f.Label3, "Times New Roman", -48, clGray);
  ExpectFont(f.Label6, "Times New Roman", -48, clWindowText);
  ExpectAt(f.Label5, 286, 6);
  EXPECT_EQ(f.Label5->Caption(), "Projeto Freeware");
  ExpectFont(f.Label5, "Comic Sans MS", -13, clGreen);
  ExpectAt(f.ImageLogo, 282, 30);
  EXPECT_EQ(f.ImageLogo->Width(), 114);
  EXPECT_EQ(f.ImageLogo->Height(), 322);
  EXPECT_TRUE(f.ImageLogo->Stretch());
  EXPECT_EQ(f.ImageLogo->Picture().Width(), 114);
  EXPECT_EQ(f.ImageLogo->Picture().Height(), 322);
  ExpectAt(f.LbVersao, 151, 79);
  ExpectFont(f.LbVersao, "Arial", -16, clNavy);
  ExpectAt(f.Label1, 315, 360);
  ExpectFont(f.Label1, "Small Fonts", -9, clWindowText);
  EXPECT_LE(f.Label1->Left() + f.Label1->Width(), f.ClientWidth());
}

TEST_F(CreditosTest, HeadingsInBoldWithTheirTeamsBelow) {
  const std::vector<TLabel*> headings = LabelsAt({45});
  const std::vector<std::pair<std::string, int>> expected = {
      {"Coordena\xE7\xE3o Geral do Projeto", 107},
      {"Gerenciamento", 142},
      {"Desenvolvimento do Software", 205},
      {"Agradecimentos:", 251},
      {"Testes e valida\xE7\xE3o", 285}};
  ASSERT_EQ(headings.size(), expected.size());
  for (size_t i = 0; i < headings.size(); ++i) {
    EXPECT_EQ(headings[i]->Caption(), expected[i].first);
    EXPECT_EQ(headings[i]->Top(), expected[i].second);
    ExpectFont(headings[i], "MS Sans Serif", -11, clWindowText, {fsBold});
  }
  const std::vector<TLabel*> names = LabelsAt({101, 102});
  const std::vector<int> tops = {124, 157, 172, 187, 220, 234, 266, 299};
  ASSERT_EQ(names.size(), tops.size());
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(names[i]->Top(), tops[i]);
    EXPECT_FALSE(names[i]->Caption().empty());
    ExpectFont(names[i], "MS Sans Serif", -11, clWindowText);
    // Names stay clear of the logo on the right.
    EXPECT_LE(names[i]->Left() + names[i]->Width(), FormCredito->ImageLogo->Left());
  }
}

TEST_F(CreditosTest, TheMakerAndItsDivisionInNavy) {
  TFormCredito& f = *FormCredito;
  ExpectAt(f.Label8, 16, 338);
  ExpectFont(f.Label8, "MS Sans Serif", -11, clNavy);
  EXPECT_EQ(f.Label8->Caption().rfind("Morvane Software && Systems", 0), 0u);
  ExpectAt(f.Label2, 43, 354);
  ExpectFont(f.Label2, "MS Sans Serif", -11, clNavy);
  EXPECT_EQ(f.Label2->Caption(), "DIVIS\xC3O - Morvane Software && Systems");
}

TEST_F(CreditosTest, TheDivisionLineShowsOneAmpersand) {
  OpenCredits();
  TFormCredito& f = *FormCredito;
  // The same line, written with one ampersand and drawn without mnemonics, beside it.
  auto* plain = new TLabel(&f);
  plain->SetParent(&f);
  // Between the last team and the maker's name, where the window is bare.
  plain->SetBounds(f.Label2->Left(), 318, 0, 0);
  plain->SetTransparent(true);
  plain->SetFont(f.Label2->Font());
  plain->SetParentFont(false);
  plain->SetShowAccelChar(false);
  plain->SetCaption("DIVIS\xC3O - Morvane Software & Systems");
  EXPECT_EQ(plain->Width(), f.Label2->Width());
  const RECT b = plain->BoundsRect();
  for (TControl* c : f.ControlList()) {
    const RECT a = c->BoundsRect();
    const bool overlaps =
        a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    ASSERT_TRUE(c == plain || !overlaps) << c->Name();
  }
  f.Repaint();
  Pump();
  const platform::Surface screen = headless::Screen();
  const POINT shown = f.Label2->ClientToScreen(POINT{0, 0});
  const POINT reference = plain->ClientToScreen(POINT{0, 0});
  int ink = 0;
  for (int y = 0; y < plain->Height(); ++y)
    for (int x = 0; x < plain->Width(); ++x) {
      const uint32_t pixel = screen.At(shown.x + x, shown.y + y);
      ASSERT_EQ(pixel, screen.At(reference.x + x, reference.y + y)) << x << "," << y;
      ink += (pixel & 0xFFFFFF) != 0xFFFFFF;
    }
  EXPECT_GT(ink, 50);
}

TEST_F(CreditosTest, EveryShowingTakesTheVersionAndClosingOnlyHides) {
  TFormCredito& f = *FormCredito;
  DoubleClickTrayIcon();
  ASSERT_EQ(ExeVersion, "2.1.3.13");
  OpenCredits();
  EXPECT_TRUE(Shown(&f));
  EXPECT_EQ(f.LbVersao->Caption(), "2.1.3.13");
  EXPECT_EQ(f.LbVersao->Caption(), FormPrincipal->LbVer->Caption());
  PostMessageA(f.WindowHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
  EXPECT_FALSE(Shown(&f));
  EXPECT_FALSE(Application->Terminated());
  EXPECT_TRUE(headless::TrayIconShown(TrayWindow(), kTrayIconId));
  ExeVersion.clear();
  OpenCredits();
  EXPECT_EQ(f.LbVersao->Caption(), "");
  // Losing the activation leaves it up.
  ClickOtherProgram();
  EXPECT_TRUE(Shown(&f));
}

TEST_F(CreditosTest, OnlyOneOfTheInformationWindowsIsUp) {
  OpenCredits();
  FormPrincipal->Menu_LicencaClick(FormPrincipal->Menu_Licenca);
  Pump();
  EXPECT_TRUE(Shown(FormLicence));
  EXPECT_FALSE(Shown(FormCredito));
  OpenCredits();
  EXPECT_TRUE(Shown(FormCredito));
  EXPECT_FALSE(Shown(FormLicence));
}

}  // namespace

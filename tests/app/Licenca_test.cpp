// The licence terms window in the whole program on the headless desktop: its layout as the
// description gives it, the terms in their structure, the version label, closing, and the
// link that opens the maker's page.
#include "app/Licenca.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/MakerPage.h"
#include "tests/app/ProgramHarness.h"
#include "toolkit/Graphics.h"

namespace {

using platform::PointerShape;

const std::string kEquals(46, '=');

struct TFontSpec {
  std::string Name;
  int Height;
  TColor Color;
  TFontStyles Style;
};

void ExpectFont(const TControl* control, const TFontSpec& spec) {
  SCOPED_TRACE(control->Name());
  EXPECT_EQ(control->Font()->Name(), spec.Name);
  EXPECT_EQ(control->Font()->Height(), spec.Height);
  EXPECT_EQ(control->Font()->Color(), spec.Color);
  EXPECT_EQ(control->Font()->Style(), spec.Style);
}

void ExpectAt(const TControl* control, int left, int top) {
  EXPECT_EQ(control->Left(), left) << control->Name();
  EXPECT_EQ(control->Top(), top) << control->Name();
}

void ExpectBounds(const TControl* control, int left, int top, int width, int height) {
  ExpectAt(control, left, top);
  EXPECT_EQ(control->Width(), width) << control->Name();
  EXPECT_EQ(control->Height(), height) << control->Name();
}

const TFontSpec kWindowText{"MS Sans Serif", -11, clWindowText, {}};
const TFontSpec kNavyText{"MS Sans Serif", -11, clNavy, {}};

class LicencaTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    StartProgram();
  }
  // "Licença" from the tray icon's menu, as the user opens the window.
  static void OpenLicence() {
    FormPrincipal->Menu_LicencaClick(FormPrincipal->Menu_Licenca);
    Pump();
  }
  static void CloseWithTheCloseButton(TCustomForm* form) {
    // What the window manager's close button asks for.
    PostMessageA(form->WindowHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
  }
  static PointerShape ShapeOver(TControl* control, int x, int y) {
    const POINT p = control->ClientToScreen(POINT{x, y});
    headless::MovePointer(p.x, p.y);
    Pump();
    return headless::PointerShape();
  }
};

// --- The window as its description makes it ---

TEST_F(LicencaTest, TheWindowIsAWhiteFixedDialogCentredOnItsFirstShowingOnly) {
  TFormLicence& f = *FormLicence;
  EXPECT_EQ(f.Caption(),
            "Licen\xE7"
            "a de uso");
  EXPECT_EQ(f.BorderStyle(), bsDialog);
  EXPECT_EQ(f.BorderIcons(), TBorderIcons{biSystemMenu});
  EXPECT_EQ(f.ClientWidth(), 511);
  EXPECT_EQ(f.ClientHeight(), 352);
  EXPECT_EQ(f.Color(), clWhite);
  EXPECT_EQ(f.OnShow.HandlerName(), "FormShow");
  EXPECT_FALSE(Shown(&f));
  // A dialog frame: a caption with the close button only, and no resizing.
  const LONG style = GetWindowLongA(f.Handle(), GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

  OpenLicence();
  EXPECT_EQ(f.Left(), (kScreenWidth - 511) / 2);
  EXPECT_EQ(f.Top(), (kScreenHeight - 352) / 2);
  f.SetBounds(30, 40, f.Width(), f.Height());
  CloseWithTheCloseButton(&f);
  OpenLicence();
  EXPECT_EQ(f.Left(), 30);
  EXPECT_EQ(f.Top(), 40);
}

TEST_F(LicencaTest, EveryControlHasItsPlaceFontAndColour) {
  TFormLicence& f = *FormLicence;
  ExpectBounds(f.Bevel1, 4, 5, 121, 345);
  ExpectBounds(f.ImageLogo, 7, 11, 114, 322);
  EXPECT_TRUE(f.ImageLogo->Stretch());
  EXPECT_EQ(f.ImageLogo->Picture().Width(), 114);
  EXPECT_EQ(f.ImageLogo->Picture().Height(), 322);
  ExpectBounds(f.ImageAbout, 160, 280, 81, 57);
  EXPECT_TRUE(f.ImageAbout->Stretch());
  EXPECT_EQ(f.ImageAbout->Picture().Width(), 81);
  EXPECT_EQ(f.ImageAbout->Picture().Height(), 57);

  // The title: the first part in maroon over its grey shadow, 6 right and 5 down, the rest
  // lower right in the window-text colour.
  ExpectAt(f.Label6, 137, 2);
  ExpectAt(f.Label1, 143, 7);
  ExpectAt(f.Label5, 242, 28);
  EXPECT_EQ(f.Label1->Caption(), f.Label6->Caption());
  EXPECT_EQ(f.Label6->Caption() + f.Label5->Caption(), "Calvix");
  ExpectFont(f.Label6, {"Times New Roman", -48, clMaroon, {}});
  ExpectFont(f.Label1, {"Times New Roman", -48, clGray, {}});
  ExpectFont(f.Label5, {"Times New Roman", -48, clWindowText, {}});
  // The shadow lies below the maroon part.
  const auto& order = f.ControlList();
  EXPECT_LT(std::find(order.begin(), order.end(), f.Label1),
            std::find(order.begin(), order.end(), f.Label6));

  ExpectAt(f.Label12, 396, 8);
  EXPECT_EQ(f.Label12->Caption(), "Projeto Freeware");
  ExpectFont(f.Label12, {"Comic Sans MS", -13, clGreen, {}});
  ExpectAt(f.LbVersao, 368, 55);
  ExpectFont(f.LbVersao, {"Arial", -16, clNavy, {}});
  ExpectAt(f.Label11, 135, 86);
  EXPECT_EQ(f.Label11->Caption(),
            "CONTRATO DE LICEN\xC7"
            "A DE USO DE SOFTWARE");
  ExpectFont(f.Label11, kNavyText);

  ExpectAt(f.Label3, 268, 272);
  EXPECT_EQ(f.Label3->Caption(), "Diretores:");
  ExpectAt(f.Label2, 316, 272);
  ExpectAt(f.Label7, 316, 284);
  ExpectAt(f.Label8, 316, 296);
  for (const TLabel* l : {f.Label3, f.Label2, f.Label7, f.Label8, f.Label11})
    EXPECT_TRUE(l->Transparent()) << l->Name();
  for (const TLabel* l : {f.Label3, f.Label2, f.Label7, f.Label8}) {
    EXPECT_FALSE(l->Caption().empty());
    ExpectFont(l, kWindowText);
  }

  ExpectAt(f.Label9, 340, 309);
  ExpectFont(f.Label9, {"Comic Sans MS", -13, clGreen, {fsUnderline}});
  EXPECT_EQ(f.Label9->Cursor(), crHandPoint);
  EXPECT_EQ(f.Label9->OnClick.HandlerName(), "Label9Click");
  ExpectAt(f.Label4, 273, 332);
  ExpectFont(f.Label4, {"Arial", -11, clWindowText, {}});
  EXPECT_NE(f.Label4->Caption().find("00.000.000/0000-00"), std::string::npos);
  // The notice under the logo, inside the frame.
  ExpectAt(f.Label10, 38, 335);
  ExpectFont(f.Label10, {"Small Fonts", -9, clWindowText, {}});
  EXPECT_FALSE(f.Label10->Caption().empty());
  EXPECT_LE(f.Label10->Left() + f.Label10->Width(), 4 + 121);

  ExpectBounds(f.ListBox1, 133, 109, 369, 154);
  EXPECT_EQ(f.ListBox1->BorderStyle(), bsNone);
  EXPECT_EQ(f.ListBox1->Color(), clWhite);
  EXPECT_FALSE(f.ListBox1->TabStop());
  EXPECT_EQ(f.ListBox1->ItemHeight(), 13);
}

TEST_F(LicencaTest, TheTermsHaveThirtyTwoLinesInTheirStructure) {
  const TStringList& terms = FormLicence->ListBox1->Items();
  ASSERT_EQ(terms.Count(), 32);
  EXPECT_EQ(terms[0],
            "LICEN\xC7"
            "A:");
  EXPECT_EQ(terms[1], "");
  // Five paragraphs from line 3, each opened by ">> " and the next one after an empty line.
  std::vector<int> starts;
  int line = 2;
  while (line < 32 && terms[line] != kEquals) {
    ASSERT_EQ(terms[line].rfind(">> ", 0), 0u) << "line " << line + 1;
    starts.push_back(line);
    ++line;
    while (line < 32 && !terms[line].empty()) {
      EXPECT_NE(terms[line].rfind(">>", 0), 0u) << "line " << line + 1;
      ++line;
    }
    ++line;  // the empty line after a paragraph
  }
  EXPECT_EQ(starts.size(), 5u);
  EXPECT_EQ(terms[25], "");
  EXPECT_EQ(terms[26], kEquals);
  for (int i = 27; i < 31; ++i) {
    EXPECT_FALSE(terms[i].empty());
    for (const char c : terms[i]) {
      const auto u = static_cast<unsigned char>(c);
      EXPECT_FALSE((u >= 'a' && u <= 'z') || u >= 0xDF) << "line " << i + 1 << ": " << terms[i];
    }
  }
  EXPECT_EQ(terms[31], kEquals);
  // The contract names the maker by its legal name; a list shows "&" as it is.
  EXPECT_NE(terms[3].find("Morvane Software & Systems"), std::string::npos);
}

TEST_F(LicencaTest, EveryLineOfTheTermsFitsTheList) {
  TListBox& list = *FormLicence->ListBox1;
  TBitmap measure;
  measure.SetWidth(1);
  measure.SetHeight(1);
  measure.Canvas().Font().Assign(list.Font());
  // Items start 2 pixels in; the scroll bar takes 16 on the right.
  const int room = list.Width() - 16 - 2;
  for (int i = 0; i < list.Items().Count(); ++i)
    EXPECT_LE(measure.Canvas().TextWidth(list.Items()[i]), room) << list.Items()[i];
}

// --- Showing and closing ---

TEST_F(LicencaTest, EveryShowingTakesTheVersionTheMainWindowRead) {
  TFormLicence& f = *FormLicence;
  EXPECT_EQ(f.LbVersao->Caption(), "0.0.0.0");
  DoubleClickTrayIcon();
  ASSERT_EQ(ExeVersion, "2.1.3.13");
  OpenLicence();
  EXPECT_EQ(f.LbVersao->Caption(), FormPrincipal->LbVer->Caption());
  EXPECT_EQ(f.LbVersao->Caption(), "2.1.3.13");
  CloseWithTheCloseButton(&f);
  ExeVersion.clear();
  OpenLicence();
  EXPECT_EQ(f.LbVersao->Caption(), "");
  ExeVersion = "9.8.7.6";
  f.Hide();
  OpenLicence();
  EXPECT_EQ(f.LbVersao->Caption(), "9.8.7.6");
}

TEST_F(LicencaTest, TheCloseButtonOnlyHidesAndTheProgramStaysInTheTray) {
  TFormLicence& f = *FormLicence;
  OpenLicence();
  ASSERT_TRUE(Shown(&f));
  CloseWithTheCloseButton(&f);
  EXPECT_FALSE(Shown(&f));
  EXPECT_EQ(FormLicence, &f);
  EXPECT_TRUE(IsWindow(f.WindowHandle()));
  EXPECT_FALSE(Application->Terminated());
  EXPECT_TRUE(headless::TrayIconShown(TrayWindow(), kTrayIconId));
  // Closing again while hidden, or twice in a row, changes nothing.
  CloseWithTheCloseButton(&f);
  OpenLicence();
  PostMessageA(f.WindowHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageA(f.WindowHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
  EXPECT_FALSE(Shown(&f));
  EXPECT_FALSE(Application->Terminated());
  EXPECT_TRUE(Errors.empty());
  OpenLicence();
  EXPECT_TRUE(Shown(&f));
}

TEST_F(LicencaTest, TheWindowStaysWhenTheProgramLosesTheActivation) {
  OpenLicence();
  ClickOtherProgram();
  EXPECT_TRUE(Shown(FormLicence));
  EXPECT_FALSE(Shown(FormCredito));
}

// --- The link ---

TEST_F(LicencaTest, TheLinkOpensTheMakersPageThroughTheShellAndTheWindowStays) {
  OpenLicence();
  const std::string address = MakerPageAddress();
  EXPECT_EQ(FormLicence->Label9->Caption(), MakerPageCaption(address));
  ClickOn(FormLicence->Label9, 3, 3);
  const auto& requests = headless::ShellRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].owner, Application->Handle());
  EXPECT_EQ(requests[0].operation, std::optional<std::string>("open"));
  EXPECT_EQ(requests[0].file, std::optional<std::string>(address));
  EXPECT_FALSE(requests[0].parameters.has_value());
  EXPECT_FALSE(requests[0].directory.has_value());
  EXPECT_EQ(requests[0].showCommand, SW_SHOWNORMAL);
  EXPECT_TRUE(Shown(FormLicence));

  // Without a handler nothing is reported and the window stays.
  headless::SetOpenDocumentFails(true);
  ClickOn(FormLicence->Label9, 3, 3);
  EXPECT_EQ(headless::ShellRequests().size(), 2u);
  EXPECT_TRUE(Errors.empty());
  EXPECT_TRUE(Shown(FormLicence));
}

TEST_F(LicencaTest, TheLinkShowsTheHandAndTheTermsTheArrow) {
  OpenLicence();
  EXPECT_EQ(ShapeOver(FormLicence->Label9, 3, 3), PointerShape::psHand);
  EXPECT_EQ(headless::PointerShapeWindow(), FormLicence->WindowHandle());
  EXPECT_EQ(ShapeOver(FormLicence->ListBox1, 20, 20), PointerShape::psArrow);
  EXPECT_EQ(ShapeOver(FormLicence->Label11, 3, 3), PointerShape::psArrow);
  EXPECT_EQ(ShapeOver(FormLicence->Label9, 4, 4), PointerShape::psHand);
}

// --- The maker's page ---

TEST(MakerPage, WithoutABuildSettingItIsTheAboutPageOfTheSourceTree) {
  const std::string address = MakerPageAddress();
  const std::string page = "docs/about.html";
  ASSERT_GT(address.size(), page.size());
  EXPECT_EQ(address.substr(address.size() - page.size()), page);
  EXPECT_TRUE(std::filesystem::exists(address));
  EXPECT_LT(address.size(), 256u);
}

TEST(MakerPage, TheCaptionIsAShortReadableFormOfTheAddress) {
  EXPECT_EQ(MakerPageCaption("http://www.morvane.com.br"), "www.morvane.com.br");
  EXPECT_EQ(MakerPageCaption("https://example.com/calvix/"), "example.com/calvix");
  EXPECT_EQ(MakerPageCaption("Z:\\usr\\share\\doc\\Calvix\\about.html"), "about.html");
  EXPECT_EQ(MakerPageCaption("/work/calvix/docs/about.html"), "about.html");
  EXPECT_EQ(MakerPageCaption("file:///usr/share/doc/Calvix/about.html"), "about.html");
  EXPECT_EQ(MakerPageCaption("mailto:contato@example.com"), "mailto:contato@example.com");
}

}  // namespace

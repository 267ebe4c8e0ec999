// The main window behind the notification-area icon: the start-up into the tray, showing the
// window from the icon over a fresh copy of the desktop, hiding it when the program loses
// activation or by its "x", the popup menu, and the version label.
#include <gtest/gtest.h>

#include <filesystem>

#include "controls/circbutton/MorCircBut.h"
#include "core/MORTypes.h"
#include "tests/app/ProgramHarness.h"

namespace {

using PrincipalTray = ProgramTest;

constexpr int kWidth = 356;
constexpr int kHeight = 259;
// The menu's entries as the down arrow reaches them from the top; separators are passed over.
constexpr int kVerifica = 1;
constexpr int kLicenca = 2;
constexpr int kCreditos = 3;
constexpr int kFechar = 4;

// --- Start-up ---

TEST_F(PrincipalTray, AfterStartUpOnlyTheTrayIconIsUp) {
  StartProgram();
  EXPECT_FALSE(AnyWindowOfOursShown());
  EXPECT_TRUE(headless::TrayIconShown(TrayWindow(), kTrayIconId));
  const auto calls = headless::TrayCalls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front().message, DWORD(NIM_ADD));
  EXPECT_EQ(calls.front().tip, "Morvane Calvix");
  EXPECT_GT(calls.front().image.width, 0);
  // The window was shown once, minimised, while it was created: the version is known already.
  EXPECT_EQ(ExeVersion, "2.1.3.13");
  EXPECT_EQ(FormPrincipal->LbVer->Caption(), "2.1.3.13");
  EXPECT_TRUE(Errors.empty());
}

// --- Showing from the tray ---

TEST_F(PrincipalTray, ADoubleClickShowsTheWindowCentredInFrontWithTheFocusInTheCgcField) {
  StartProgram();
  DoubleClickTrayIcon();
  TFormPrincipal& f = *FormPrincipal;
  ASSERT_TRUE(Shown(&f));
  RECT r{};
  GetWindowRect(f.WindowHandle(), &r);
  EXPECT_EQ(r.left, (kScreenWidth - kWidth) / 2);
  EXPECT_EQ(r.top, (kScreenHeight - kHeight) / 2);
  EXPECT_EQ(r.right - r.left, kWidth);
  EXPECT_EQ(r.bottom - r.top, kHeight);
  EXPECT_EQ(GetForegroundWindow(), f.WindowHandle());
  EXPECT_TRUE(f.EditCGC->Focused());
  // The version label grows to the left: its right edge stays at 341.
  EXPECT_EQ(f.LbVer->Caption(), "2.1.3.13");
  EXPECT_EQ(f.LbVer->Left() + f.LbVer->Width(), 341);
  // No taskbar button: the application window stays hidden.
  EXPECT_FALSE(IsWindowVisible(Application->Handle()));
}

TEST_F(PrincipalTray, TheSkinsWhitePartsShowTheDesktopAsItWasAtTheLastShowing) {
  StartProgram();
  DoubleClickTrayIcon();
  const TFormPrincipal& f = *FormPrincipal;
  const platform::Surface wall = headless::Wallpaper();
  // The copy under the window is the desktop under it, pixel for pixel.
  TCanvas& copy = f.Image1->Canvas();
  for (const POINT p : {POINT{0, 0}, POINT{355, 258}, POINT{100, 50}}) {
    const uint32_t rgb = wall.At(f.Left() + p.x, f.Top() + p.y);
    const TColor c = copy.Pixels(p.x, p.y);
    EXPECT_EQ(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF), COLORREF(c));
  }
  // A see-through pixel of the skin (its white bottom-left corner) shows that copy on screen.
  const POINT corner = f.ClientToScreen(POINT{0, kHeight - 1});
  EXPECT_EQ(headless::Screen().At(corner.x, corner.y), wall.At(corner.x, corner.y));

  // The desktop changes behind the window: the copy stays as it was until the next showing.
  const uint32_t before = wall.At(corner.x, corner.y);
  PaintWallpaper(99);
  EXPECT_EQ(headless::Screen().At(corner.x, corner.y), before);
  ClickOtherProgram();
  DoubleClickTrayIcon();
  EXPECT_EQ(headless::Screen().At(corner.x, corner.y),
            headless::Wallpaper().At(corner.x, corner.y));
  EXPECT_NE(headless::Wallpaper().At(corner.x, corner.y), before);
}

// --- Hiding ---

TEST_F(PrincipalTray, AClickOnAnotherProgramHidesTheWindowAndTheIconStays) {
  StartProgram();
  DoubleClickTrayIcon();
  ASSERT_TRUE(Shown(FormPrincipal));
  ClickOtherProgram();
  EXPECT_FALSE(Shown(FormPrincipal));
  EXPECT_TRUE(headless::TrayIconShown(TrayWindow(), kTrayIconId));
  // And it comes back with the next double click.
  DoubleClickTrayIcon();
  EXPECT_TRUE(Shown(FormPrincipal));
}

TEST_F(PrincipalTray, AfterVerificaTheFirstLossOfActivationLeavesTheWindowAndTheNextHidesIt) {
  StartProgram();
  ChooseFromTrayMenu(kVerifica);
  // The menu's own hand-over of the foreground as it closed was the one let through.
  ASSERT_TRUE(Shown(FormPrincipal));
  EXPECT_TRUE(FormPrincipal->EditCGC->Focused());
  ClickOn(FormPrincipal->Label1, 2, 2);  // the user works in the window again
  ClickOtherProgram();
  EXPECT_FALSE(Shown(FormPrincipal));
}

TEST_F(PrincipalTray, TheFlagOfVerificaIsClearedOnlyByALossOfActivation) {
  StartProgram();
  // "Verifica" run while nothing takes the activation away, as no menu closes here.
  FormPrincipal->Verifica1Click(FormPrincipal->Verifica1);
  Pump();
  ASSERT_TRUE(Shown(FormPrincipal));
  // Working in the window leaves the flag set...
  ClickOn(FormPrincipal->EditCPF, 5, 5);
  headless::TypeText("123");
  Pump();
  // ...so the first switch to another program is let through, and the next one hides.
  ClickOtherProgram();
  EXPECT_TRUE(Shown(FormPrincipal));
  ClickOn(FormPrincipal->Label1, 2, 2);
  ClickOtherProgram();
  EXPECT_FALSE(Shown(FormPrincipal));
}

TEST_F(PrincipalTray, TheXButtonHidesTheWindowAndTheProgramStaysInTheTray) {
  StartProgram();
  DoubleClickTrayIcon();
  TMorCircButton* x = FormPrincipal->MorCircButton4;
  ClickOn(x, x->Width() / 2, x->Height() / 2);
  EXPECT_FALSE(Shown(FormPrincipal));
  EXPECT_FALSE(Application->Terminated());
  EXPECT_TRUE(headless::TrayIconShown(TrayWindow(), kTrayIconId));
  DoubleClickTrayIcon();
  EXPECT_TRUE(Shown(FormPrincipal));
}

// --- The menu ---

TEST_F(PrincipalTray, TheMenuHasItsSixEntriesAndIsAlsoTheSkinsContextMenu) {
  StartProgram();
  const TMenuItem* items = FormPrincipal->PopupMenu1->Items();
  const char* captions[] = {"Verifica",
                            "-",
                            "Licen\xE7"
                            "a",
                            "Cr\xE9"
                            "ditos",
                            "-",
                            "Fechar"};
  ASSERT_EQ(items->Count(), 6);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(items->Items(i)->Caption(), captions[i]);
  EXPECT_EQ(FormPrincipal->LwTrayIcon951->PopupMenu(), FormPrincipal->PopupMenu1);
  EXPECT_TRUE(FormPrincipal->LwTrayIcon951->AutoPopup());

  // A right click on the skin opens the same menu; "Licença" from it opens the licence window.
  DoubleClickTrayIcon();
  ChooseFromMenuAfter(kLicenca, [] { ClickOn(FormPrincipal->Image2, 60, 30, headless::btRight); });
  EXPECT_TRUE(Shown(FormLicence));
}

TEST_F(PrincipalTray, TheInformationWindowsReplaceEachOtherAndGoWhenTheWindowIsShown) {
  StartProgram();
  DoubleClickTrayIcon();
  ChooseFromTrayMenu(kLicenca);
  EXPECT_TRUE(Shown(FormLicence));
  EXPECT_FALSE(Shown(FormCredito));
  ChooseFromTrayMenu(kCreditos);
  EXPECT_TRUE(Shown(FormCredito));
  EXPECT_FALSE(Shown(FormLicence));
  ChooseFromTrayMenu(kLicenca);
  EXPECT_TRUE(Shown(FormLicence));
  EXPECT_FALSE(Shown(FormCredito));
  // The double click on the icon takes them away and brings the main window.
  DoubleClickTrayIcon();
  EXPECT_FALSE(Shown(FormLicence));
  EXPECT_FALSE(Shown(FormCredito));
  EXPECT_TRUE(Shown(FormPrincipal));
}

TEST_F(PrincipalTray, FecharEndsTheLoopAndTheIconLeavesTheTray) {
  StartProgram();
  ChooseFromTrayMenu(kFechar);
  Application->ProcessMessages();
  EXPECT_TRUE(Application->Terminated());
  // The entry destroys what the application owns when its loop ends.
  headless::ClearTrayCalls();
  const HWND tray = TrayWindow();
  DoneApplication();
  const auto calls = headless::TrayCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].message, DWORD(NIM_DELETE));
  EXPECT_FALSE(headless::TrayIconShown(tray, kTrayIconId));
}

// --- The version ---

TEST_F(PrincipalTray, WithoutTheProgramsFileInTheCurrentFolderTheVersionLabelStaysEmpty) {
  headless::SetCurrentDirectoryText(
      testfiles::ZPath(std::filesystem::temp_directory_path().string()));
  StartProgram();
  DoubleClickTrayIcon();
  EXPECT_EQ(FormPrincipal->LbVer->Caption(), "");
  EXPECT_EQ(ExeVersion, "");
}

TEST_F(PrincipalTray, AVersionLostBetweenTwoShowingsEmptiesTheLabel) {
  testfiles::TScratch folder;
  const std::string copy = folder.Path(kExeFileName);
  std::filesystem::copy_file(CALVIX_EXE_PATH, copy);
  headless::SetCurrentDirectoryText(testfiles::ZPath(folder.Path("")));
  StartProgram();
  DoubleClickTrayIcon();
  EXPECT_EQ(FormPrincipal->LbVer->Caption(), "2.1.3.13");
  ClickOtherProgram();
  std::filesystem::remove(copy);
  DoubleClickTrayIcon();
  EXPECT_EQ(FormPrincipal->LbVer->Caption(), "");
}

}  // namespace

// --- One copy per desktop ---

TEST_F(PrincipalTray, ASecondCopyEndsInsideTheMainWindowsCreationAndLeavesNothingBehind) {
  const HWND first = headless::AddForeignWindow({"TApplication", "Calvix", false});
  int exitCode = -1;
  try {
    StartProgram();
  } catch (const THalt& halt) {
    exitCode = halt.ExitCode;
  }
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(FormPrincipal, nullptr);
  EXPECT_EQ(FormLicence, nullptr);
  EXPECT_EQ(Screen->FormCount(), 0);
  // The icon the half-made window had put up is gone again.
  const auto calls = headless::TrayCalls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].message, DWORD(NIM_ADD));
  EXPECT_EQ(calls[1].message, DWORD(NIM_DELETE));
  EXPECT_EQ(headless::ForeignRecord(first).broughtForward, 1);
  EXPECT_TRUE(Errors.empty());
}

TEST_F(PrincipalTray, TheRunningCopyComesForwardWhenASecondOneFindsIt) {
  StartProgram();
  // What a second copy does to this one's application window.
  const HWND app = Application->Handle();
  ShowWindow(app, SW_RESTORE);
  PostMessageA(app, kActivateMessage, WPARAM(app), 0);
  PostMessageA(app, kActivateSecondMessage, WPARAM(app), 0);
  SetForegroundWindow(app);
  Pump();
  ASSERT_TRUE(Shown(FormPrincipal));
  EXPECT_EQ(GetForegroundWindow(), FormPrincipal->WindowHandle());
  EXPECT_TRUE(FormPrincipal->EditCGC->Focused());
  EXPECT_TRUE(Errors.empty());
}

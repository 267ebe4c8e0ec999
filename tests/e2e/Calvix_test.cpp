// The program itself on the virtual desktop: MorCalvix starts into the tray, its icon shows the
// skinned main window, a CPF typed into it is answered by its verdict box, the window hides
// when the user goes elsewhere, a second copy hands over to the first, and "Fechar" ends it.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <utility>

#include "tests/e2e/Desktop.h"
#include "tests/e2e/Program.h"

using namespace e2e;

namespace {

constexpr int kWidth = 356;
constexpr int kHeight = 259;
// Points of the main window, in its client coordinates.
constexpr int kCpfFieldX = 100, kCpfFieldY = 155;
constexpr int kCloseButtonX = 333, kCloseButtonY = 107;
// The entries of the icon's menu, as the down arrow reaches them.
constexpr int kVerifica = 1, kFechar = 4;

// The program of this build, started in its own folder (where it finds its own file) unless
// the test names another.
class TBuiltProgram : public TProgram {
 public:
  explicit TBuiltProgram(std::string folder = "") : TProgram(CALVIX_EXE_PATH, std::move(folder)) {}
};

// A click on the bare desktop: another "program" takes the activation.
void ClickElsewhere() {
  Xdo("mousemove 40 40 click 1");
}

bool MainWindowGone() {
  return Eventually([] { return Shown(kMainWindow).empty(); });
}

class Calvix : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TDesktop::Get().Started()); }
};

}  // namespace

TEST_F(Calvix, StartsIntoTheTrayAndTheIconShowsTheWindowInTheScreensCentre) {
  TBuiltProgram program;
  ASSERT_FALSE(program.TrayIcon().empty()) << "the icon did not dock";
  // Nothing of ours is up but the icon.
  EXPECT_TRUE(Shown(kMainWindow).empty());
  EXPECT_EQ(Output("xdotool search --onlyvisible --class MorCalvix 2>/dev/null | wc -l"), "0");

  program.DoubleClickIcon();
  const std::string main = TProgram::MainWindow();
  ASSERT_FALSE(main.empty()) << "the double click showed no window";
  const TPoint origin = Origin(main);
  const std::string size = Xdo("getwindowgeometry " + main);
  EXPECT_NE(size.find("Geometry: 356x259"), std::string::npos) << size;
  const std::string screen = Output("xdpyinfo | awk '/dimensions:/ {print $2}'");
  int width = 0, height = 0;
  std::sscanf(screen.c_str(), "%dx%d", &width, &height);
  EXPECT_EQ(origin.x, (width - kWidth) / 2);
  EXPECT_EQ(origin.y, (height - kHeight) / 2);
  EXPECT_GT(VersionPixels(origin), 20) << "no version text";
  // The window has the keyboard: typing goes into the CGC field.
  EXPECT_EQ(Xdo("getactivewindow"), main);

  program.ChooseFromMenu(kFechar);
  EXPECT_EQ(program.ExitCode(), 0);
  EXPECT_TRUE(Eventually([] { return TProgram::Icons().empty(); })) << "the icon stayed";
}

// The session bus's library (libsystemd and the five it brings) is opened only where a session
// has a bus to reach.
TEST_F(Calvix, InASessionWithoutABusItMapsNoBusLibrary) {
  std::map<std::string, std::string> kept;
  for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"}) {
    if (const char* value = getenv(name)) kept[name] = value;
    unsetenv(name);
  }
  {
    TBuiltProgram program;
    ASSERT_FALSE(program.TrayIcon().empty()) << "the icon did not dock";
    std::ifstream maps("/proc/" + std::to_string(program.Pid()) + "/maps");
    const std::string mapped((std::istreambuf_iterator<char>(maps)), {});
    ASSERT_NE(mapped.find("MorCalvix"), std::string::npos);
    EXPECT_EQ(mapped.find("libsystemd"), std::string::npos);
  }
  for (const auto& [name, value] : kept)
    setenv(name.c_str(), value.c_str(), 1);
}

TEST_F(Calvix, StartedFromAnotherFolderItShowsNoVersion) {
  TBuiltProgram program("/");
  program.DoubleClickIcon();
  const std::string main = TProgram::MainWindow();
  ASSERT_FALSE(main.empty());
  EXPECT_EQ(VersionPixels(Origin(main)), 0);
}

TEST_F(Calvix, ACpfTypedIntoTheMainWindowIsAnsweredWithItsVerdict) {
  TBuiltProgram program;
  program.DoubleClickIcon();
  const std::string main = TProgram::MainWindow();
  ASSERT_FALSE(main.empty());
  const TPoint origin = Origin(main);

  Xdo("mousemove " + TProgram::Coords(origin.x + kCpfFieldX, origin.y + kCpfFieldY) +
      " click 1 key Home");
  Xdo("type --delay 20 '111.444.777-35'");
  Xdo("key Return");
  ASSERT_TRUE(Eventually([] { return !Shown("^Information$").empty(); }))
      << "no information box for a valid CPF";
  Xdo("key Return");
  ASSERT_TRUE(Eventually([] { return Shown("^Information$").empty(); }));
  // The box took the activation from the main window, but within the program: it stays.
  EXPECT_FALSE(Shown(kMainWindow).empty());
}

TEST_F(Calvix, TheWindowHidesWhenAnotherProgramIsClickedOrByItsXAndComesBack) {
  TBuiltProgram program;
  program.DoubleClickIcon();
  ASSERT_FALSE(TProgram::MainWindow().empty());
  ClickElsewhere();
  EXPECT_TRUE(MainWindowGone()) << "a click elsewhere left the window up";

  program.DoubleClickIcon();
  const std::string main = TProgram::MainWindow();
  ASSERT_FALSE(main.empty());
  const TPoint origin = Origin(main);
  Xdo("mousemove " + TProgram::Coords(origin.x + kCloseButtonX, origin.y + kCloseButtonY) +
      " click 1");
  EXPECT_TRUE(MainWindowGone()) << "x left the window up";
  EXPECT_FALSE(program.TrayIcon().empty());
  program.DoubleClickIcon();
  EXPECT_FALSE(TProgram::MainWindow().empty());
}

TEST_F(Calvix, VerificaKeepsTheWindowUpAfterTheMenuClosesAndTheNextSwitchHidesIt) {
  TBuiltProgram program;
  program.ChooseFromMenu(kVerifica);
  ASSERT_FALSE(TProgram::MainWindow().empty());
  // Still up once the menu's own hand-over of the activation has passed.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_FALSE(Shown(kMainWindow).empty());
  ClickElsewhere();
  EXPECT_TRUE(MainWindowGone());
}

TEST_F(Calvix, ASecondCopyEndsAndBringsTheFirstCopysWindowForward) {
  TBuiltProgram first;
  // Once the first copy has settled in the tray (its window was up and went away again)...
  first.DoubleClickIcon();
  ASSERT_FALSE(TProgram::MainWindow().empty());
  ClickElsewhere();
  ASSERT_TRUE(MainWindowGone());
  // ...a second copy finds it.
  TBuiltProgram second;
  EXPECT_EQ(second.ExitCode(), 0);
  const std::string main = TProgram::MainWindow();
  ASSERT_FALSE(main.empty()) << "the first copy's window did not come forward";
  EXPECT_TRUE(Eventually([&] { return Xdo("getactivewindow") == main; }));
  // One icon only: the second copy's went with it.
  EXPECT_EQ(TProgram::Icons().size(), 1u);
}

// The program itself on the virtual desktop: MorCalvix starts into the tray, its icon shows the
// skinned main window, a CPF typed into it is answered by its verdict box, the window hides
// when the user goes elsewhere, a second copy hands over to the first, and "Fechar" ends it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/Desktop.h"

using namespace e2e;

namespace {

constexpr char kMainWindow[] = "^Morvane Calvix - Freeware$";
constexpr char kTrayIcon[] = "^Morvane Calvix$";
constexpr int kWidth = 356;
constexpr int kHeight = 259;
// Points of the main window, in its client coordinates.
constexpr int kCpfFieldX = 100, kCpfFieldY = 155;
constexpr int kCloseButtonX = 333, kCloseButtonY = 107;
// The version label: right-aligned, ending at x 341, one line of text from y 217.
constexpr int kVersionLeft = 300, kVersionRight = 341, kVersionTop = 217, kVersionBottom = 229;
// The entries of the icon's menu, as the down arrow reaches them.
constexpr int kVerifica = 1, kFechar = 4;

struct TPoint {
  long x = 0;
  long y = 0;
};

// Repeats `done` every 50 ms for at most fifteen seconds (a loaded machine is slow to answer).
bool Eventually(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

std::string Xdo(const std::string& args) {
  return Output("xdotool " + args + " 2>/dev/null");
}

TPoint Origin(const std::string& id) {
  TPoint p{};
  std::sscanf(Xdo("getwindowgeometry " + id).c_str(), "Window %*s Position: %ld,%ld", &p.x, &p.y);
  return p;
}

// The shown window named by `pattern`, or empty.
std::string Shown(const std::string& pattern) {
  return Xdo("search --onlyvisible --name '" + pattern + "' | head -1");
}

// The program, started in a folder of the test's choice: its own by default, so that it finds
// its own file there.
class TProgram {
 public:
  explicit TProgram(std::string folder = "") {
    const std::string exe = CALVIX_EXE_PATH;
    if (folder.empty()) folder = exe.substr(0, exe.find_last_of('/'));
    FPid = fork();
    if (FPid == 0) {
      if (chdir(folder.c_str()) != 0) _exit(127);
      execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~TProgram() {
    if (FPid > 0 && !FEnded) {
      kill(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
    }
  }

  // Its exit code once it has ended, or -1 when it did not end.
  int ExitCode() {
    int status = 0;
    if (!Eventually([&] { return waitpid(FPid, &status, WNOHANG) == FPid; })) return -1;
    FEnded = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The icon in the tray host, once docked.
  std::string TrayIcon() const {
    std::string icon;
    Eventually([&] {
      const std::vector<std::string> icons = Icons();
      if (!icons.empty()) icon = icons.front();
      return !icon.empty();
    });
    return icon;
  }
  // The docked icons of the program: windows of the tip's name that carry the embedding
  // information (the tip window itself has the same name).
  static std::vector<std::string> Icons() {
    std::vector<std::string> out;
    for (const std::string& id :
         Lines(Xdo("search --onlyvisible --name '" + std::string(kTrayIcon) + "'")))
      if (Output("xprop -id " + id + " _XEMBED_INFO 2>/dev/null").find("0x1") != std::string::npos)
        out.push_back(id);
    return out;
  }
  void DoubleClickIcon() const {
    const TPoint p = Origin(TrayIcon());
    Xdo("mousemove " + Coords(p.x + 8, p.y + 8) + " click --repeat 2 --delay 80 1");
  }
  // Opens the icon's menu with the right button and chooses an entry with the keyboard once
  // the menu is up (the toolkit's menu window class).
  void ChooseFromMenu(int downs) const {
    const TPoint p = Origin(TrayIcon());
    Xdo("mousemove " + Coords(p.x + 8, p.y + 8) + " click 3");
    EXPECT_TRUE(Eventually([] {
      return !Xdo("search --onlyvisible --class '^TPopupMenuWindow$'").empty();
    })) << "the menu did not open";
    std::string keys;
    for (int i = 0; i < downs; ++i)
      keys += " Down";
    Xdo("key" + keys + " Return");
  }
  // Waits for the main window to come up; its X id, or empty.
  static std::string MainWindow() {
    std::string id;
    Eventually([&] { return !(id = Shown(kMainWindow)).empty(); });
    return id;
  }

  static std::string Coords(long x, long y) { return std::to_string(x) + " " + std::to_string(y); }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
      const size_t end = text.find('\n', start);
      out.push_back(text.substr(start, end - start));
      if (end == std::string::npos) break;
      start = end + 1;
    }
    return out;
  }

 private:
  pid_t FPid = -1;
  bool FEnded = false;
};

// A click on the bare desktop: another "program" takes the activation.
void ClickElsewhere() {
  Xdo("mousemove 40 40 click 1");
}

bool MainWindowGone() {
  return Eventually([] { return Shown(kMainWindow).empty(); });
}

// Dark pixels where the version label draws its text.
int VersionPixels(const TPoint& origin) {
  const TShot shot = Screenshot();
  int dark = 0;
  for (int y = kVersionTop; y < kVersionBottom; ++y)
    for (int x = kVersionLeft; x < kVersionRight; ++x) {
      const uint32_t rgb = shot.At(int(origin.x) + x, int(origin.y) + y);
      if (((rgb >> 16) & 0xFF) < 0x60 && ((rgb >> 8) & 0xFF) < 0x60 && (rgb & 0xFF) < 0x60) ++dark;
    }
  return dark;
}

class Calvix : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TDesktop::Get().Started()); }
};

}  // namespace

TEST_F(Calvix, StartsIntoTheTrayAndTheIconShowsTheWindowInTheScreensCentre) {
  TProgram program;
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

TEST_F(Calvix, StartedFromAnotherFolderItShowsNoVersion) {
  TProgram program("/");
  program.DoubleClickIcon();
  const std::string main = TProgram::MainWindow();
  ASSERT_FALSE(main.empty());
  EXPECT_EQ(VersionPixels(Origin(main)), 0);
}

TEST_F(Calvix, ACpfTypedIntoTheMainWindowIsAnsweredWithItsVerdict) {
  TProgram program;
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
  TProgram program;
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
  TProgram program;
  program.ChooseFromMenu(kVerifica);
  ASSERT_FALSE(TProgram::MainWindow().empty());
  // Still up once the menu's own hand-over of the activation has passed.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_FALSE(Shown(kMainWindow).empty());
  ClickElsewhere();
  EXPECT_TRUE(MainWindowGone());
}

TEST_F(Calvix, ASecondCopyEndsAndBringsTheFirstCopysWindowForward) {
  TProgram first;
  // Once the first copy has settled in the tray (its window was up and went away again)...
  first.DoubleClickIcon();
  ASSERT_FALSE(TProgram::MainWindow().empty());
  ClickElsewhere();
  ASSERT_TRUE(MainWindowGone());
  // ...a second copy finds it.
  TProgram second;
  EXPECT_EQ(second.ExitCode(), 0);
  const std::string main = TProgram::MainWindow();
  ASSERT_FALSE(main.empty()) << "the first copy's window did not come forward";
  EXPECT_TRUE(Eventually([&] { return Xdo("getactivewindow") == main; }));
  // One icon only: the second copy's went with it.
  EXPECT_EQ(TProgram::Icons().size(), 1u);
}

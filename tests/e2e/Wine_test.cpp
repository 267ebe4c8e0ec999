// The Windows program, MorCalvix.exe, under Wine on the virtual desktop with tint2 as the
// notification area: its icon docks, a double click shows the main window with its version, a
// CPF typed and confirmed is answered by its verdict, the information windows show all their
// client area, a second copy hands over to the first, and "Fechar" ends it. Wine's trace of the
// texts the program draws shows what the boxes say.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/Desktop.h"
#include "tests/e2e/Program.h"

using namespace e2e;

namespace {

const std::string kWine = CALVIX_WINE64;
const std::string kWindowsDir = CALVIX_WINDOWS_DIR;
// Points of the main window, in its client coordinates.
constexpr int kCpfFieldX = 100, kCpfFieldY = 155;

// Wine takes longer than one wait to start a program on a loaded machine.
constexpr int kStartWaits = 3;

constexpr auto* Coords = &TProgram::Coords;
constexpr auto* Lines = &TProgram::Lines;

struct TBox {
  long x = 0, y = 0, width = 0, height = 0;
};

TBox Geometry(const std::string& id) {
  TBox b{};
  std::sscanf(Xdo("getwindowgeometry --shell " + id).c_str(),
              "WINDOW=%*d X=%ld Y=%ld WIDTH=%ld HEIGHT=%ld", &b.x, &b.y, &b.width, &b.height);
  return b;
}

// The icons docked in the tray host: Wine's shell (explorer.exe) embeds a window of its own
// for each notification-area icon.
std::vector<std::string> Icons() {
  std::vector<std::string> out;
  for (const std::string& id : Lines(Xdo("search --onlyvisible --class '^explorer\\.exe$'")))
    if (Output("xprop -id " + id + " _XEMBED_INFO 2>/dev/null").find("0x1") != std::string::npos)
      out.push_back(id);
  return out;
}

// The program's shown windows without a title: the icon's menu, once it is up.
std::string MenuWindow() {
  for (const std::string& id : Lines(Xdo("search --onlyvisible --class '^morcalvix\\.exe$'")))
    if (Xdo("getwindowname " + id).empty() && Geometry(id).height > 20) return id;
  return {};
}

// Ends the prefix's Wine processes, Wine's shell with its icons among them, so that a test that
// had to kill the program leaves nothing behind for the next, and nothing outlives the run.
void EndWineSession() {
  const std::string server = "'" + kWine.substr(0, kWine.rfind('/')) + "/wineserver'";
  Run(server + " -k >/dev/null 2>&1; " + server + " -w >/dev/null 2>&1");
}

class TWineSession : public testing::Environment {
 public:
  void TearDown() override { EndWineSession(); }
};
testing::Environment* const kWineSession = testing::AddGlobalTestEnvironment(new TWineSession);

// MorCalvix.exe started under Wine in its own folder, so that it finds its own file there.
// Wine traces the texts it draws into a file of the test's.
class TWineProgram {
 public:
  TWineProgram() {
    char folder[] = "/tmp/calvix-wine-XXXXXX";
    FLog = std::string(mkdtemp(folder)) + "/trace.log";
    FPid = fork();
    if (FPid == 0) {
      const int log = open(FLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (log < 0 || dup2(log, STDERR_FILENO) < 0 || chdir(kWindowsDir.c_str()) != 0) _exit(127);
      setenv("WINEDEBUG", "-all,trace+text", 1);
      setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
      execl(kWine.c_str(), kWine.c_str(), "MorCalvix.exe", static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~TWineProgram() {
    if (FPid > 0 && !FEnded) {
      kill(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
      EndWineSession();
    }
    unlink(FLog.c_str());
    rmdir(FLog.substr(0, FLog.rfind('/')).c_str());
  }

  // Its exit code once it has ended (within `waits` waits), or -1.
  int ExitCode(int waits = 1) {
    int status = 0;
    for (int wait = 0; wait < waits && !FEnded; ++wait)
      FEnded = Eventually([&] { return waitpid(FPid, &status, WNOHANG) == FPid; });
    if (!FEnded) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Whether the program drew `text` (as Wine's trace writes it: L"..." with \xxxx escapes).
  bool Drew(const std::string& text) const {
    std::ifstream in(FLog, std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), {});
    return log.find("DrawTextExW L\"" + text) != std::string::npos;
  }

 private:
  pid_t FPid = -1;
  bool FEnded = false;
  std::string FLog;
};

// The icon once the program has settled in the tray: the icon docked, and the main window,
// shown minimised while the program starts, gone from the screen. Empty when it did not.
std::string SettledIcon() {
  std::string icon;
  const auto docked = [&] {
    const std::vector<std::string> icons = Icons();
    if (!icons.empty()) icon = icons.front();
    return !icon.empty();
  };
  for (int wait = 0; wait < kStartWaits && icon.empty(); ++wait)
    Eventually(docked);
  if (icon.empty() || !Eventually([] { return Shown(kMainWindow).empty(); })) return {};
  return icon;
}

void DoubleClick(const std::string& icon) {
  const TBox b = Geometry(icon);
  Xdo("mousemove " + Coords(b.x + b.width / 2, b.y + b.height / 2) +
      " click --repeat 2 --delay 80 1");
}

// The entries of the icon's menu, top to bottom; a separator follows the first and the third.
enum TMenuEntry { meVerifica, meLicenca, meCreditos, meFechar };

// The middle of an entry, in the menu's coordinates: inside a border of 3 pixels the entries
// are of one height and the separators 9 pixels high.
int EntryMiddle(const TBox& menu, TMenuEntry entry) {
  constexpr int kBorder = 3, kSeparator = 9, kEntries = 4;
  const int row = (menu.height - 2 * kBorder - 2 * kSeparator) / kEntries;
  const int separatorsAbove = entry == meVerifica ? 0 : entry == meFechar ? 2 : 1;
  return kBorder + separatorsAbove * kSeparator + entry * row + row / 2;
}

// Opens the icon's menu with the right button and clicks an entry: the keyboard cannot choose,
// since Wine gives no X focus to the hidden window the program brings forward for its menu.
// The mouse goes over the menu first, so that the icon's tip is gone when the entry is clicked.
void ChooseFromMenu(const std::string& icon, TMenuEntry entry) {
  const TBox b = Geometry(icon);
  Xdo("mousemove " + Coords(b.x + b.width / 2, b.y + b.height / 2) + " click 3");
  std::string menu;
  ASSERT_TRUE(Eventually([&] { return !(menu = MenuWindow()).empty(); })) << "no menu";
  const TBox m = Geometry(menu);
  Xdo("mousemove " + Coords(m.x + m.width / 2, m.y + EntryMiddle(m, meVerifica)));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Xdo("mousemove " + Coords(m.x + m.width / 2, m.y + EntryMiddle(m, entry)) + " click 1");
}

void TypeIntoField(const TBox& main, int x, int y, const std::string& text) {
  Xdo("mousemove " + Coords(main.x + x, main.y + y) + " click 1 key Home");
  Xdo("type --delay 30 '" + text + "'");
  Xdo("key Return");
}

class Wine : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TDesktop::Get().Started()); }
};

}  // namespace

TEST_F(Wine, TheIconShowsTheWindowWithItsVersionAndFecharEndsTheProgram) {
  TWineProgram program;
  const std::string icon = SettledIcon();
  ASSERT_FALSE(icon.empty()) << "the icon did not dock, or the window stayed up";

  DoubleClick(icon);
  const std::string main = TProgram::MainWindow();
  ASSERT_FALSE(main.empty()) << "the double click showed no window";
  EXPECT_EQ(Geometry(main).width, 356);
  // The real GetFileVersionInfoA read the version block windres made.
  EXPECT_TRUE(Eventually([&] { return program.Drew("2.1.3.13\""); })) << "no version label";

  ChooseFromMenu(icon, meFechar);
  EXPECT_EQ(program.ExitCode(), 0);
  EXPECT_TRUE(Eventually([] { return Icons().empty(); })) << "the icon stayed";
}

TEST_F(Wine, ACpfIsAnsweredWithItsVerdictAndEveryBoxAfterIt) {
  TWineProgram program;
  const std::string icon = SettledIcon();
  ASSERT_FALSE(icon.empty());
  DoubleClick(icon);
  const std::string main = TProgram::MainWindow();
  ASSERT_FALSE(main.empty());
  ASSERT_TRUE(Eventually([&] { return Xdo("getactivewindow") == main; }));
  const TBox window = Geometry(main);

  TypeIntoField(window, kCpfFieldX, kCpfFieldY, "111.444.777-35");
  ASSERT_TRUE(Eventually([] { return !Shown("^Information$").empty(); }))
      << "no information box for a valid CPF";
  EXPECT_TRUE(program.Drew("Morvane Software && Systems informa:\\r\\rC.P.F. v\\00e1lido!!!\""));
  Xdo("key Return");
  ASSERT_TRUE(Eventually([] { return Shown("^Information$").empty(); }));
  // Keys typed before the main window has the focus back would go nowhere.
  ASSERT_TRUE(Eventually([&] { return Xdo("getactivewindow") == main; }))
      << "the main window did not get the focus back from the box";

  // A second box is a second window of the same class.
  TypeIntoField(window, kCpfFieldX, kCpfFieldY, "111.444.777-36");
  ASSERT_TRUE(Eventually([] { return !Shown("^Warning$").empty(); }))
      << "no warning box for an invalid CPF";
  EXPECT_TRUE(program.Drew("Morvane Software && Systems informa:\\r\\rC.P.F. inv\\00e1lido!!!\""));
  Xdo("key Return");
  EXPECT_TRUE(Eventually([] { return Shown("^Warning$").empty(); }));

  ChooseFromMenu(icon, meFechar);
  EXPECT_EQ(program.ExitCode(), 0);
  EXPECT_TRUE(Eventually([] { return Icons().empty(); }));
}

TEST_F(Wine, ASecondCopyEndsWithZeroAndBringsTheFirstCopysWindowForward) {
  TWineProgram first;
  const std::string icon = SettledIcon();
  ASSERT_FALSE(icon.empty());

  TWineProgram second;
  EXPECT_EQ(second.ExitCode(kStartWaits), 0);
  const std::string main = TProgram::MainWindow();
  ASSERT_FALSE(main.empty()) << "the first copy's window did not come forward";
  EXPECT_TRUE(Eventually([&] { return Xdo("getactivewindow") == main; }));
  // It stays in front once the hand-over has settled.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_EQ(Shown(kMainWindow), main);
  EXPECT_EQ(Icons().size(), 1u);

  ChooseFromMenu(icon, meFechar);
  EXPECT_EQ(first.ExitCode(), 0);
  EXPECT_TRUE(Eventually([] { return Icons().empty(); }));
}

// Windows puts a framed window's caption and borders inside the window's size: the licence and
// credits windows show all the client area their descriptions give only when the frame comes
// on top of it. (Wine's X window is the client area.)
TEST_F(Wine, TheInformationWindowsHaveTheirWholeClientArea) {
  TWineProgram program;
  const std::string icon = SettledIcon();
  ASSERT_FALSE(icon.empty());

  ChooseFromMenu(icon, meLicenca);
  std::string licence;
  ASSERT_TRUE(Eventually([&] { return !(licence = Shown("^Licen.{1,2}a de uso$")).empty(); }))
      << "Licença opened no window";
  EXPECT_EQ(Geometry(licence).width, 511);
  EXPECT_EQ(Geometry(licence).height, 352);

  ChooseFromMenu(icon, meCreditos);
  std::string credits;
  ASSERT_TRUE(Eventually([&] { return !(credits = Shown("^Cr.{1,2}ditos$")).empty(); }))
      << "Créditos opened no window";
  EXPECT_EQ(Geometry(credits).width, 402);
  EXPECT_EQ(Geometry(credits).height, 377);

  ChooseFromMenu(icon, meFechar);
  EXPECT_EQ(program.ExitCode(), 0);
  EXPECT_TRUE(Eventually([] { return Icons().empty(); }));
}

// The program itself on the virtual desktop: MorCalvix shows its main window, and a CPF typed
// into it and confirmed with Enter is answered by the message box of its verdict.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "tests/e2e/Desktop.h"

using namespace e2e;

namespace {

constexpr char kMainWindow[] = "^Morvane Calvix - Freeware$";
// The CPF field's middle, in the main window's client coordinates.
constexpr int kCpfFieldX = 100;
constexpr int kCpfFieldY = 155;
// The middle of the "Verifica CPF" button.
constexpr int kCpfButtonX = 272;
constexpr int kCpfButtonY = 157;

struct TPoint {
  long x = 0;
  long y = 0;
};

// Waits (at most ten seconds) for a window whose name matches `pattern`; its id or empty.
std::string WaitForWindow(const std::string& pattern) {
  return Output("timeout 10 xdotool search --sync --onlyvisible --name '" + pattern +
                "' 2>/dev/null | head -1");
}

// Waits until no visible window's name matches `pattern`.
bool WaitUntilGone(const std::string& pattern) {
  return Run("timeout 10 sh -c \"while xdotool search --onlyvisible --name '" + pattern +
             "' >/dev/null 2>&1; do sleep 0.1; done\"") == 0;
}

TPoint WindowOrigin(const std::string& id) {
  const std::string info = Output("xwininfo -id " + id);
  TPoint p{};
  std::sscanf(info.substr(info.find("Absolute upper-left X:")).c_str(),
              "Absolute upper-left X: %ld", &p.x);
  std::sscanf(info.substr(info.find("Absolute upper-left Y:")).c_str(),
              "Absolute upper-left Y: %ld", &p.y);
  return p;
}

// The program, started in its own folder so that it finds its own file there.
class TProgram {
 public:
  TProgram() {
    const std::string exe = CALVIX_EXE_PATH;
    const std::string dir = exe.substr(0, exe.find_last_of('/'));
    FPid = std::stoi(Output("cd '" + dir + "' && { '" + exe + "' >/dev/null 2>&1 & echo $!; }"));
  }
  ~TProgram() {
    if (FPid > 0) kill(FPid, SIGTERM);
  }

 private:
  int FPid = 0;
};

void TypeCpfAndEnter(TPoint origin, const std::string& cpf) {
  e2e::Run("xdotool mousemove " + std::to_string(origin.x + kCpfFieldX) + " " +
           std::to_string(origin.y + kCpfFieldY) + " click 1 key Home");
  // Everything after "type" is typed, so the Enter key is a command of its own.
  e2e::Run("xdotool type --delay 20 '" + cpf + "'");
  e2e::Run("xdotool key Return");
}

}  // namespace

TEST(Calvix, ACpfTypedIntoTheMainWindowIsAnsweredWithItsVerdict) {
  TProgram program;
  const std::string main = WaitForWindow(kMainWindow);
  ASSERT_FALSE(main.empty()) << "the main window did not appear";
  const TPoint origin = WindowOrigin(main);

  TypeCpfAndEnter(origin, "111.444.777-35");
  ASSERT_FALSE(WaitForWindow("^Information$").empty()) << "no information box for a valid CPF";
  // Kept as the picture of the check in the documentation (docs/cpf-valid.png).
  e2e::Run("import -silent -window root cpf-valid.png");
  e2e::Run("xdotool key Return");
  ASSERT_TRUE(WaitUntilGone("^Information$"));

  // The field keeps its number; typing over it with a wrong check digit warns instead.
  TypeCpfAndEnter(origin, "111.444.777-36");
  EXPECT_FALSE(WaitForWindow("^Warning$").empty()) << "no warning box for an invalid CPF";
  e2e::Run("xdotool key Return");
  ASSERT_TRUE(WaitUntilGone("^Warning$"));

  // The shaped button runs the same check when clicked.
  e2e::Run("xdotool mousemove " + std::to_string(origin.x + kCpfButtonX) + " " +
           std::to_string(origin.y + kCpfButtonY) + " click 1");
  EXPECT_FALSE(WaitForWindow("^Warning$").empty()) << "no warning box from Verifica CPF";
  e2e::Run("xdotool key Return");
  EXPECT_TRUE(WaitUntilGone("^Warning$"));
}

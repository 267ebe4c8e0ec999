// The licence terms and credits windows of the program on the virtual desktop: opened from the
// tray icon's menu, each replacing the other, with the main window's version; the close button
// hides them and the program stays in the tray; the link starts the desktop's opener with the
// maker's page and shows the hand.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "core/MakerSettings.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/Program.h"

// Xlib's macros (None, Bool) would clash with GoogleTest's names: it comes last.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

// The windows by their captions ("Licença de uso", "Créditos"), whatever the name's encoding.
constexpr char kLicence[] = "^Licen.{1,2}a de uso$";
constexpr char kCredits[] = "^Cr.{1,2}ditos$";
// The entries of the icon's menu, as the down arrow reaches them.
constexpr int kLicenca = 2, kCreditos = 3;
// Client coordinates: the version label of each window, and the link.
constexpr int kLicenceVersionX = 368, kLicenceVersionY = 55;
constexpr int kCreditsVersionX = 151, kCreditsVersionY = 79;
constexpr int kLinkX = 344, kLinkY = 316;
constexpr int kTermsX = 200, kTermsY = 150;

class TBuiltProgram : public TProgram {
 public:
  explicit TBuiltProgram(std::string folder = "", std::string exe = CALVIX_EXE_PATH)
      : TProgram(exe, std::move(folder)) {}
};

// A folder of its own for one test, removed at its end.
class TScratch {
 public:
  TScratch() {
    char name[] = "/tmp/calvix-e2e-XXXXXX";
    FPath = mkdtemp(name);
  }
  ~TScratch() { fs::remove_all(FPath); }
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

// An xdg-open that records its arguments, one per line, first on the PATH of the programs the
// test starts; the real PATH comes back at the end.
class TRecordingOpener {
 public:
  explicit TRecordingOpener(const std::string& folder) : FLog(folder + "/opened") {
    const std::string opener = folder + "/xdg-open";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << FLog << ".tmp'\nmv '" << FLog
                          << ".tmp' '" << FLog << "'\n";
    chmod(opener.c_str(), 0755);
    const char* path = getenv("PATH");
    FOldPath = path ? path : "";
    setenv("PATH", (folder + ":" + FOldPath).c_str(), 1);
  }
  ~TRecordingOpener() { setenv("PATH", FOldPath.c_str(), 1); }
  // What the opener was given, once it ran; empty when it never did.
  std::string Opened() const {
    std::string line;
    if (Eventually([&] { return fs::exists(FLog); })) std::getline(std::ifstream(FLog), line);
    return line;
  }

 private:
  std::string FLog;
  std::string FOldPath;
};

// Pixels of navy text (the version labels) in a rectangle of a window's client area.
int NavyPixels(const TPoint& origin, int left, int top, int width, int height) {
  const TShot shot = Screenshot();
  int navy = 0;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x) {
      const uint32_t rgb = shot.At(int(origin.x) + x, int(origin.y) + y);
      navy += ((rgb >> 16) & 0xFF) < 0x50 && ((rgb >> 8) & 0xFF) < 0x50 && (rgb & 0xFF) > 0x60;
    }
  return navy;
}

// Where a window's client area lies on the screen. (xdotool's geometry adds the frame's
// offset once more for a window inside a window manager's frame.)
TPoint ClientOrigin(const std::string& id) {
  TPoint p{};
  const std::string info = Output("xwininfo -id " + id + " 2>/dev/null");
  const size_t x = info.find("Absolute upper-left X:"), y = info.find("Absolute upper-left Y:");
  if (x != std::string::npos) p.x = std::atol(info.c_str() + x + 22);
  if (y != std::string::npos) p.y = std::atol(info.c_str() + y + 22);
  return p;
}

std::string WindowNamed(const char* pattern) {
  std::string id;
  Eventually([&] { return !(id = Shown(pattern)).empty(); });
  return id;
}

bool Gone(const char* pattern) {
  return Eventually([&] { return Shown(pattern).empty(); });
}

// The name of the pointer's current shape as the server shows it (XFixes), once it is `want`,
// or the last one seen.
std::string PointerShapeBecomes(const std::string& want) {
  Display* dpy = XOpenDisplay(nullptr);
  if (dpy == nullptr) return "no display";
  std::string name;
  Eventually([&] {
    XFixesCursorImage* image = XFixesGetCursorImage(dpy);
    name = image != nullptr && image->name != nullptr ? image->name : "";
    if (image != nullptr) XFree(image);
    return name == want;
  });
  XCloseDisplay(dpy);
  return name;
}

// What the window manager's close button sends: WM_DELETE_WINDOW to the window. (Sent here
// directly rather than through a key binding of the window manager, whose keyboard grab could
// still hold when the test opens the icon's menu next.)
void CloseWithTheCloseButton(const std::string& id) {
  Display* dpy = XOpenDisplay(nullptr);
  if (dpy == nullptr) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = std::stoul(id);
  event.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy, event.xclient.window, False, NoEventMask, &event);
  XCloseDisplay(dpy);
}

void MovePointerTo(const TPoint& origin, int x, int y) {
  Xdo("mousemove " + TProgram::Coords(origin.x + x, origin.y + y));
}

class InformationWindows : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TDesktop::Get().Started()); }
};

}  // namespace

TEST_F(InformationWindows, TheMenuOpensEachInPlaceOfTheOtherWithTheVersionAndCloseHidesIt) {
  TBuiltProgram program;
  ASSERT_FALSE(program.TrayIcon().empty());
  program.ChooseFromMenu(kLicenca);
  const std::string licence = WindowNamed(kLicence);
  ASSERT_FALSE(licence.empty()) << "Licença opened no window";
  EXPECT_GT(NavyPixels(ClientOrigin(licence), kLicenceVersionX, kLicenceVersionY, 60, 18), 20)
      << "no version in the licence window";

  program.ChooseFromMenu(kCreditos);
  const std::string credits = WindowNamed(kCredits);
  ASSERT_FALSE(credits.empty()) << "Créditos opened no window";
  EXPECT_TRUE(Gone(kLicence)) << "the licence window stayed beside the credits";
  EXPECT_GT(NavyPixels(ClientOrigin(credits), kCreditsVersionX, kCreditsVersionY, 60, 18), 20)
      << "no version in the credits window";

  program.ChooseFromMenu(kLicenca);
  ASSERT_FALSE(WindowNamed(kLicence).empty());
  EXPECT_TRUE(Gone(kCredits)) << "the credits window stayed beside the licence";

  CloseWithTheCloseButton(WindowNamed(kLicence));
  EXPECT_TRUE(Gone(kLicence)) << "closing left the licence window up";
  EXPECT_FALSE(program.TrayIcon().empty());
  program.ChooseFromMenu(kCreditos);
  CloseWithTheCloseButton(WindowNamed(kCredits));
  EXPECT_TRUE(Gone(kCredits)) << "closing left the credits window up";
  // Still running, and the windows come back.
  EXPECT_EQ(TProgram::Icons().size(), 1u);
  program.ChooseFromMenu(kLicenca);
  EXPECT_FALSE(WindowNamed(kLicence).empty());
}

TEST_F(InformationWindows, WithoutAVersionTheWindowsShowNone) {
  TBuiltProgram program("/");
  program.ChooseFromMenu(kLicenca);
  const std::string licence = WindowNamed(kLicence);
  ASSERT_FALSE(licence.empty());
  EXPECT_EQ(NavyPixels(ClientOrigin(licence), kLicenceVersionX, kLicenceVersionY, 60, 18), 0);
  program.ChooseFromMenu(kCreditos);
  const std::string credits = WindowNamed(kCredits);
  ASSERT_FALSE(credits.empty());
  EXPECT_EQ(NavyPixels(ClientOrigin(credits), kCreditsVersionX, kCreditsVersionY, 60, 18), 0);
}

TEST_F(InformationWindows, TheLinkShowsTheHandAndStartsTheOpenerWithTheAboutPage) {
  TScratch scratch;
  TRecordingOpener opener(scratch.Path());
  TBuiltProgram program;
  program.ChooseFromMenu(kLicenca);
  const std::string licence = WindowNamed(kLicence);
  ASSERT_FALSE(licence.empty());
  const TPoint origin = ClientOrigin(licence);

  MovePointerTo(origin, kTermsX, kTermsY);
  EXPECT_EQ(PointerShapeBecomes("left_ptr"), "left_ptr");
  MovePointerTo(origin, kLinkX, kLinkY);
  EXPECT_EQ(PointerShapeBecomes("hand2"), "hand2");

  Xdo("click 1");
  EXPECT_EQ(opener.Opened(), std::string(CALVIX_SOURCE_DIR) + "/docs/about.html");
  EXPECT_FALSE(Shown(kLicence).empty()) << "the link closed the window";
}

TEST_F(InformationWindows, InstalledTheLinkOpensTheInstalledAboutPage) {
  // The program and its documents as an installation lays them out under a prefix.
  TScratch prefix;
  fs::create_directories(prefix.Path() + "/bin");
  const std::string docs = prefix.Path() + "/" + kInstalledDocDir;
  fs::create_directories(docs);
  const std::string exe = prefix.Path() + "/bin/MorCalvix";
  fs::copy_file(CALVIX_EXE_PATH, exe);
  fs::copy_file(std::string(CALVIX_SOURCE_DIR) + "/docs/about.html", docs + "/about.html");
  TScratch scratch;
  TRecordingOpener opener(scratch.Path());
  TBuiltProgram program(prefix.Path(), exe);
  program.ChooseFromMenu(kLicenca);
  const std::string licence = WindowNamed(kLicence);
  ASSERT_FALSE(licence.empty());
  const TPoint origin = ClientOrigin(licence);
  MovePointerTo(origin, kLinkX, kLinkY);
  Xdo("click 1");
  EXPECT_EQ(opener.Opened(), fs::canonical(docs).string() + "/about.html");
}

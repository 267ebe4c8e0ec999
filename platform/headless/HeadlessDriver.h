// The headless driver: an in-memory desktop with a clock that tests move, a pointer and a
// keyboard that tests drive, and windows of other programs that tests create. Internal to
// platform/; tests use platform/headless/headless.h.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Driver.h"
#include "platform/win32.h"

namespace platform {

// Another program's window as the headless desktop keeps it, with what happened to it.
struct THeadlessForeign {
  ForeignWindow info;
  std::vector<MSG> posted;
  std::vector<int> showCommands;
  int restored = 0;
  int broughtForward = 0;
};

class THeadlessDriver : public Driver {
 public:
  THeadlessDriver();

  const char* Name() const override { return "headless"; }
  DWORD TickCount() override { return FTick; }
  void Poll() override;
  bool Wait(DWORD deadline, bool forever) override;
  void Realise(const WindowInfo& info) override;
  void Destroy(HWND hwnd) override;
  void Restack(HWND hwnd, HWND above) override;
  POINT CursorPos() override { return FCursor; }
  void SetPointerShape(HWND hwnd, PointerShape shape) override {
    FPointerWindow = hwnd;
    FPointerShape = shape;
  }
  SIZE ScreenSize() override { return FScreen; }
  bool ReadScreen(const RECT& area, Surface& out) override;
  // What the screen shows in `area`: the wallpaper with our visible windows in Z order.
  void Compose(const RECT& area, Surface& out);
  bool Stacking(std::vector<StackEntry>& topFirst) override;
  bool Describe(uint64_t key, ForeignWindow& out) override;
  bool PostTo(uint64_t key, UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool ShowForeign(uint64_t key, int showCommand) override;
  bool ForegroundForeign(uint64_t key) override;
  // Records, starts nothing.
  bool OpenDocument(const std::string& target, const ShellRequest& request) override;
  bool Tray(DWORD message, const TrayIcon& icon) override;  // HeadlessTray.cpp

  // --- Test controls (see headless.h) ---
  DWORD FTick = 0;
  POINT FCursor{0, 0};
  // The pointer's shape as the core last set it, and the window it was set in.
  HWND FPointerWindow = nullptr;
  PointerShape FPointerShape = PointerShape::psArrow;
  SIZE FScreen{1024, 768};
  Surface FWallpaper;
  // False for a desktop whose compositor keeps the screen from programs: reading it yields
  // see-through pixels, which the screen then shows transparent.
  bool FScreenReadable = true;
  std::map<uint64_t, THeadlessForeign> FForeign;
  std::vector<std::string> FOpenedDocuments;
  std::vector<ShellRequest> FShellRequests;
  bool FOpenDocumentFails = false;
  // The notification area: every call with the driver's answer, and the icons shown.
  bool FTrayHost = true;
  std::vector<std::pair<DWORD, TrayIcon>> FTrayCalls;
  std::vector<bool> FTrayAnswers;
  std::map<std::pair<HWND, UINT>, TrayIcon> FTrayIcons;
  // The session ends at the next look at the queue.
  bool FSessionEnding = false;

  uint64_t AddForeign(const ForeignWindow& info, size_t depth);
  void RemoveForeign(uint64_t key);
  THeadlessForeign* Foreign(uint64_t key);
  void RaiseForeign(uint64_t key);
  // What lies under a screen point: ours, another program's window, or the desktop.
  HWND HitTest(POINT pt);

 private:
  std::vector<StackEntry> FStack;  // top first
  uint64_t FNextKey = 1;
};

std::unique_ptr<Driver> CreateHeadlessDriver();

}  // namespace platform

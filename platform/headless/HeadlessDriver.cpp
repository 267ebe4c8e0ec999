// The headless driver: keeps the system-wide stacking order, the windows of other programs,
// the pointer, the clock and a wallpaper, and composes the screen from our windows' surfaces.
#include "platform/headless/HeadlessDriver.h"

#include <algorithm>

#include "platform/core/DriverSink.h"
#include "platform/core/WindowSurfaces.h"
#include "platform/win32.h"

namespace platform {
namespace {

constexpr uint32_t kWallpaperColour = 0x003A6EA5;

void Blit(const Surface& from, int atX, int atY, Surface& to) {
  for (int y = 0; y < from.height; ++y) {
    const int ty = atY + y;
    if (ty < 0 || ty >= to.height) continue;
    for (int x = 0; x < from.width; ++x)
      if (to.Contains(atX + x, ty) && !IsSeeThrough(from.At(x, y)))
        to.At(atX + x, ty) = from.At(x, y);
  }
}

}  // namespace

THeadlessDriver::THeadlessDriver() : FWallpaper(FScreen.cx, FScreen.cy, kWallpaperColour) {}

// What the system sends arrives while the program looks at its queue, as a signal wakes the
// X11 driver's wait.
void THeadlessDriver::Poll() {
  if (!FSessionEnding) return;
  FSessionEnding = false;
  sink::SessionEnding();
}

// Nothing outside the test can ever arrive, so waiting without a timer is a deadlock; with
// one, the clock simply jumps to it.
bool THeadlessDriver::Wait(DWORD deadline, bool forever) {
  if (FSessionEnding) return true;
  if (forever) return false;
  if (int32_t(deadline - FTick) > 0) FTick = deadline;
  return true;
}

void THeadlessDriver::Realise(const WindowInfo& info) {
  FStack.insert(FStack.begin(), StackEntry{info.hwnd, 0});
}

void THeadlessDriver::Destroy(HWND hwnd) {
  std::erase_if(FStack, [&](const StackEntry& e) { return e.own == hwnd; });
}

void THeadlessDriver::Restack(HWND hwnd, HWND above) {
  Destroy(hwnd);
  auto pos = FStack.begin();
  if (above) {
    auto it = std::find_if(FStack.begin(), FStack.end(),
                           [&](const StackEntry& e) { return e.own == above; });
    if (it != FStack.end()) pos = it + 1;
  }
  FStack.insert(pos, StackEntry{hwnd, 0});
}

bool THeadlessDriver::Stacking(std::vector<StackEntry>& topFirst) {
  topFirst = FStack;
  return true;
}

bool THeadlessDriver::Describe(uint64_t key, ForeignWindow& out) {
  const THeadlessForeign* f = Foreign(key);
  if (f) out = f->info;
  return f != nullptr;
}

bool THeadlessDriver::PostTo(uint64_t key, UINT msg, WPARAM wParam, LPARAM lParam) {
  THeadlessForeign* f = Foreign(key);
  if (f) f->posted.push_back({sink::ForeignHandle(key), msg, wParam, lParam, FTick, FCursor});
  return f != nullptr;
}

bool THeadlessDriver::ShowForeign(uint64_t key, int command) {
  THeadlessForeign* f = Foreign(key);
  if (!f) return false;
  f->showCommands.push_back(command);
  switch (command) {
    case SW_HIDE:
      f->info.visible = false;
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      f->info.visible = f->info.iconic = true;
      break;
    case SW_SHOW:
    case SW_SHOWNA:
      f->info.visible = true;
      break;
    default:
      if (f->info.iconic || command == SW_RESTORE) ++f->restored;
      f->info.visible = true;
      f->info.iconic = false;
  }
  return true;
}

bool THeadlessDriver::ForegroundForeign(uint64_t key) {
  if (key == kDesktopKey) {
    sink::ActivationMoved(GetDesktopWindow());
    return true;
  }
  THeadlessForeign* f = Foreign(key);
  if (!f) return false;
  ++f->broughtForward;
  RaiseForeign(key);
  sink::ActivationMoved(sink::ForeignHandle(key));
  return true;
}

bool THeadlessDriver::ReadScreen(const RECT& area, Surface& out) {
  if (!FScreenReadable) {
    out.Resize(area.right - area.left, area.bottom - area.top, kSeeThroughPixel);
    return true;
  }
  Compose(area, out);
  return true;
}

void THeadlessDriver::Compose(const RECT& area, Surface& out) {
  out.Resize(area.right - area.left, area.bottom - area.top);
  Blit(FWallpaper, -area.left, -area.top, out);
  for (auto it = FStack.rbegin(); it != FStack.rend(); ++it) {
    RECT r;
    const Surface* s = it->own ? WindowSurface(it->own) : nullptr;
    if (!s || !IsWindowVisible(it->own) || IsIconic(it->own) || !GetWindowRect(it->own, &r))
      continue;
    Blit(*s, r.left - area.left, r.top - area.top, out);
  }
}

uint64_t THeadlessDriver::AddForeign(const ForeignWindow& info, size_t depth) {
  const uint64_t key = FNextKey++;
  FForeign[key].info = info;
  FForeign[key].info.key = key;
  FStack.insert(FStack.begin() + std::min(depth, FStack.size()), StackEntry{nullptr, key});
  return key;
}

void THeadlessDriver::RemoveForeign(uint64_t key) {
  FForeign.erase(key);
  std::erase_if(FStack, [&](const StackEntry& e) { return !e.own && e.foreign == key; });
}

THeadlessForeign* THeadlessDriver::Foreign(uint64_t key) {
  auto it = FForeign.find(key);
  return it == FForeign.end() ? nullptr : &it->second;
}

void THeadlessDriver::RaiseForeign(uint64_t key) {
  std::erase_if(FStack, [&](const StackEntry& e) { return !e.own && e.foreign == key; });
  FStack.insert(FStack.begin(), StackEntry{nullptr, key});
}

HWND THeadlessDriver::HitTest(POINT pt) {
  for (const StackEntry& e : FStack) {
    if (e.own) {
      RECT r;
      if (IsWindowVisible(e.own) && !IsIconic(e.own) && GetWindowRect(e.own, &r) &&
          PtInRect(&r, pt))
        return e.own;
    } else if (const THeadlessForeign* f = Foreign(e.foreign);
               f && f->info.visible && !f->info.iconic && PtInRect(&f->info.bounds, pt)) {
      return sink::ForeignHandle(e.foreign);
    }
  }
  return GetDesktopWindow();
}

std::unique_ptr<Driver> CreateHeadlessDriver() {
  return std::make_unique<THeadlessDriver>();
}

}  // namespace platform

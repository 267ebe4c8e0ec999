// Test controls of the headless driver (headless.h): they reach the installed headless driver
// and the core, and inject input through the same sink as any driver.
#include "platform/headless/headless.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "platform/core/DriverSink.h"
#include "platform/headless/HeadlessDriver.h"

using platform::THeadlessDriver;
namespace sink = platform::sink;

namespace headless {
namespace {

THeadlessDriver& Driver() {
  auto* d = dynamic_cast<THeadlessDriver*>(&platform::CurrentDriver());
  if (!d) {
    std::fprintf(stderr, "headless: the test controls need the headless driver (call Reset)\n");
    std::abort();
  }
  return *d;
}

uint64_t KeyOf(HWND hwnd) {
  uint64_t key = 0;
  if (!sink::ForeignKey(hwnd, key)) {
    std::fprintf(stderr, "headless: %p is not another program's window\n",
                 static_cast<void*>(hwnd));
    std::abort();
  }
  return key;
}

// The records live with the driver; this keeps the returned references stable.
std::map<HWND, TForeignRecord>& Records() {
  static std::map<HWND, TForeignRecord> records;
  return records;
}

sink::Button ButtonOf(TButton b) {
  return b == btRight    ? sink::Button::btRight
         : b == btMiddle ? sink::Button::btMiddle
                         : sink::Button::btLeft;
}

void Button(int x, int y, TButton button, bool down) {
  THeadlessDriver& d = Driver();
  MovePointer(x, y);
  const POINT pt{x, y};
  const HWND hit = d.HitTest(pt);
  uint64_t key;
  if (down && !GetCapture()) {
    if (hit == GetDesktopWindow())
      ActivateDesktop();
    else if (sink::ForeignKey(hit, key))
      ActivateForeign(hit);
  }
  sink::PointerButton(hit, ButtonOf(button), down, pt, d.FTick);
}

void Key(BYTE vk, bool down, char typed) {
  sink::Key(vk, down, typed, Driver().FTick);
}

}  // namespace

// --- Start ---

void Reset() {
  sink::ResetCore();
  platform::InstallDriver(platform::CreateHeadlessDriver());
  Records().clear();
  ResetLocale();
  ResetSystemFacts();
}

// --- The screen ---

void SetScreenSize(int width, int height) {
  THeadlessDriver& d = Driver();
  d.FScreen = {width, height};
  d.FWallpaper.Resize(width, height, d.FWallpaper.pixels.empty() ? 0 : d.FWallpaper.pixels[0]);
}

platform::Surface& Wallpaper() {
  return Driver().FWallpaper;
}

platform::Surface Screen() {
  platform::Surface out;
  const SIZE s = Driver().FScreen;
  Driver().Compose({0, 0, s.cx, s.cy}, out);
  return out;
}

void SetScreenReadable(bool readable) {
  Driver().FScreenReadable = readable;
}

// --- The clock ---

DWORD Tick() {
  return Driver().FTick;
}
void SetTick(DWORD tick) {
  Driver().FTick = tick;
}
void Advance(DWORD ms) {
  Driver().FTick += ms;
}

int RunPending() {
  int count = 0;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    ++count;
  }
  return count;
}

void RunFor(DWORD ms) {
  THeadlessDriver& d = Driver();
  const uint64_t end = sink::Now() + ms;
  for (;;) {
    RunPending();
    if (sink::QuitPending()) return;
    uint64_t due = 0;
    const uint64_t now = sink::Now();
    if (sink::NextTimerDue(due) && due <= end) {
      if (due > now) d.FTick += DWORD(due - now);
      continue;
    }
    d.FTick += DWORD(end - now);
    RunPending();
    return;
  }
}

// --- Pointer and keyboard ---

void MovePointer(int x, int y) {
  THeadlessDriver& d = Driver();
  d.FCursor = {x, y};
  sink::PointerMoved(d.HitTest(d.FCursor), d.FCursor, d.FTick);
}

platform::PointerShape PointerShape() {
  return Driver().FPointerShape;
}
HWND PointerShapeWindow() {
  return Driver().FPointerWindow;
}

void Press(int x, int y, TButton button) {
  Button(x, y, button, true);
}
void Release(int x, int y, TButton button) {
  Button(x, y, button, false);
}

void Click(int x, int y, TButton button) {
  Press(x, y, button);
  Release(x, y, button);
}

void DoubleClick(int x, int y, TButton button) {
  Click(x, y, button);
  Click(x, y, button);
}

void KeyDown(BYTE vk) {
  Key(vk, true, sink::TypedOnUsKeyboard(vk, sink::KeyHeld(VK_SHIFT), sink::KeyHeld(VK_CONTROL)));
}
void KeyUp(BYTE vk) {
  Key(vk, false, 0);
}

void KeyPress(BYTE vk) {
  KeyDown(vk);
  KeyUp(vk);
}

void TypeText(const std::string& text) {
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isupper(u)) {
      KeyDown(VK_SHIFT);
      KeyPress(BYTE(u));
      KeyUp(VK_SHIFT);
    } else if (std::islower(u) || std::isdigit(u)) {
      KeyPress(BYTE(std::toupper(u)));
    } else if (c == ' ') {
      KeyPress(VK_SPACE);
    } else {
      Key(VK_PACKET, true, c);
      Key(VK_PACKET, false, 0);
    }
  }
}

// --- The window manager ---

void MinimiseBySystem(HWND hwnd, bool minimised) {
  sink::MinimisedBySystem(hwnd, minimised);
}

// --- Windows of other programs ---

HWND AddForeignWindow(const TForeignSpec& spec) {
  platform::ForeignWindow info;
  info.className = spec.className;
  info.text = spec.text;
  info.visible = spec.visible;
  info.iconic = spec.iconic;
  info.bounds = spec.bounds;
  return sink::ForeignHandle(Driver().AddForeign(info, spec.depth));
}

void RemoveForeignWindow(HWND hwnd) {
  Driver().RemoveForeign(KeyOf(hwnd));
}

const TForeignRecord& ForeignRecord(HWND hwnd) {
  const platform::THeadlessForeign* f = Driver().Foreign(KeyOf(hwnd));
  TForeignRecord& r = Records()[hwnd];
  r = {f->posted, f->showCommands, f->restored, f->broughtForward};
  return r;
}

bool ForeignVisible(HWND hwnd) {
  return Driver().Foreign(KeyOf(hwnd))->info.visible;
}
bool ForeignIconic(HWND hwnd) {
  return Driver().Foreign(KeyOf(hwnd))->info.iconic;
}

void ActivateForeign(HWND hwnd) {
  Driver().RaiseForeign(KeyOf(hwnd));
  sink::ActivationMoved(hwnd);
}

void ActivateDesktop() {
  sink::ActivationMoved(GetDesktopWindow());
}

// --- The session ---

void EndSession() {
  Driver().FSessionEnding = true;
}

// --- Update lock ---

size_t WindowSurfaceBytes() {
  return sink::WindowSurfaceBytes();
}

const std::vector<HWND>& LockWindowUpdateCalls() {
  return sink::LockWindowUpdateCalls();
}
HWND LockedWindow() {
  return sink::LockedWindow();
}

}  // namespace headless

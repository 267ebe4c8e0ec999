// A form on the headless desktop for the tests of windowless controls, with helpers to click,
// type and read pixels, and to act later from inside a modal loop.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "platform/headless/headless.h"
#include "toolkit/Forms.h"

// Runs `action` from the message loop once `ms` of the headless clock have passed: the way a
// test acts while a message box or a menu holds the program in its own loop.
inline void After(DWORD ms, std::function<void()> action) {
  static std::map<UINT_PTR, std::function<void()>> pending;
  const UINT_PTR id = SetTimer(nullptr, 0, ms, [](HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const auto it = pending.find(timer);
    if (it == pending.end()) return;
    const std::function<void()> run = std::move(it->second);
    pending.erase(it);
    run();
  });
  pending[id] = std::move(action);
}

class FormTest : public ::testing::Test {
 protected:
  static constexpr int kFormLeft = 100;
  static constexpr int kFormTop = 80;

  void SetUp() override {
    DoneApplication();
    headless::Reset();
    headless::SetScreenSize(800, 600);
    Application->Initialize();
    Form.reset(CreateComponent<TForm>(nullptr));
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(kFormLeft, kFormTop, 400, 300);
    Form->SetColor(clSilver);
  }
  void TearDown() override {
    Form.reset();
    DoneApplication();
  }

  void ShowForm() {
    Form->Show();
    headless::RunPending();
  }
  POINT ScreenPoint(TControl* control, int x, int y) const {
    return control->ClientToScreen(POINT{x, y});
  }
  void Click(TControl* control, int x, int y, headless::TButton button = headless::btLeft) {
    const POINT p = ScreenPoint(control, x, y);
    headless::Click(p.x, p.y, button);
    headless::RunPending();
  }
  void Type(const std::string& text) {
    headless::TypeText(text);
    headless::RunPending();
  }
  void Key(BYTE virtualKey) {
    headless::KeyPress(virtualKey);
    headless::RunPending();
  }
  void ShiftKey(BYTE virtualKey) {
    headless::KeyDown(VK_SHIFT);
    headless::KeyPress(virtualKey);
    headless::KeyUp(VK_SHIFT);
    headless::RunPending();
  }
  // A pixel of the form's client area as the screen shows it.
  TColor Pixel(int x, int y) const {
    const platform::Surface screen = headless::Screen();
    return TColor(platform::ColorRefFromPixel(screen.At(kFormLeft + x, kFormTop + y)));
  }

  std::unique_ptr<TForm> Form;
};

// The whole program on the headless desktop for the tests of its windows: the three windows
// made as the entry makes them, the start-up into the notification area, and the user's ways
// of working the tray icon, its menu and the other programs.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Creditos.h"
#include "app/Licenca.h"
#include "app/Principal.h"
#include "controls/tray/LwAppWnd.h"
#include "controls/tray/LwTray95.h"
#include "core/MORTypes.h"
#include "platform/headless/headless.h"
#include "tests/support/ResourceFiles.h"
#include "tests/toolkit/ControlsHarness.h"
#include "toolkit/Forms.h"

class ProgramTest : public ::testing::Test {
 protected:
  static constexpr int kScreenWidth = 800;
  static constexpr int kScreenHeight = 600;
  static constexpr UINT kTrayIconId = 42;

  void SetUp() override {
    DoneApplication();
    DestroyAppWindow();
    headless::Reset();
    headless::SetScreenSize(kScreenWidth, kScreenHeight);
    PaintWallpaper(0);
    ExeVersion.clear();
    // The program's own folder as the current directory, so the version lookup finds it.
    headless::SetCurrentDirectoryText(testfiles::ZPath(ExeFolder()));
    SetErrorBox([this](const std::string&, const std::string& text) { Errors.push_back(text); });
  }
  void TearDown() override {
    DoneApplication();
    DestroyAppWindow();
    FormPrincipal = nullptr;
    FormLicence = nullptr;
    FormCredito = nullptr;
    SetErrorBox([](const std::string&, const std::string&) {});
    headless::ResetSystemFacts();
    headless::ResetLocale();
  }

  // What the entry does up to its loop, and the loop's first step: a main window stored
  // minimised minimises the application, which the tray icon takes into the tray.
  static void StartProgram() {
    Application->Initialize();
    Application->SetTitle("Calvix");
    Application->CreateForm(FormPrincipal);
    Application->CreateForm(FormLicence);
    Application->CreateForm(FormCredito);
    Application->Minimize();
    Pump();
  }

  // The program's loop dispatches what is queued, through the application's message hook.
  static void Pump() { Application->ProcessMessages(); }
  // The same while `ms` of the clock pass, for the timers of a menu or box the test works.
  static void PumpFor(DWORD ms) {
    for (DWORD i = 0; i < ms; ++i) {
      Pump();
      headless::Advance(1);
    }
    Pump();
  }

  static std::string ExeFolder() {
    const std::string exe = CALVIX_EXE_PATH;
    return exe.substr(0, exe.find_last_of('/'));
  }

  // A wallpaper that differs at every pixel near the window, so a shifted copy shows.
  static void PaintWallpaper(uint32_t seed) {
    platform::Surface& wall = headless::Wallpaper();
    for (int y = 0; y < wall.height; ++y)
      for (int x = 0; x < wall.width; ++x)
        wall.At(x, y) = (uint32_t(x * 7 + seed) & 0xFF) << 16 |
                        (uint32_t(y * 5 + seed) & 0xFF) << 8 | ((x + y + seed) & 0x7F);
  }

  // --- The user at the notification area ---
  static HWND TrayWindow() { return FormPrincipal->LwTrayIcon951->WindowHandle(); }
  static void TrayMouse(std::initializer_list<UINT> messages) {
    for (UINT m : messages)
      ASSERT_TRUE(headless::PostTrayCallback(TrayWindow(), kTrayIconId, m));
    Pump();
  }
  static void DoubleClickTrayIcon() {
    TrayMouse({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
  }
  // The right button opens the icon's menu, which holds the program in its own loop until an
  // item is chosen: the entry `downs` presses of the down arrow away, with Enter.
  static void ChooseFromTrayMenu(int downs) {
    ChooseFromMenuAfter(downs, [] { TrayMouse({WM_RBUTTONDOWN, WM_RBUTTONUP}); });
  }
  static void ChooseFromMenuAfter(int downs, const std::function<void()>& open) {
    bool menuSeen = false;
    After(10, [&] {
      menuSeen = FormPrincipal->PopupMenu1->IsShown();
      for (int i = 0; i < downs; ++i)
        headless::KeyPress(VK_DOWN);
      headless::KeyPress(VK_RETURN);
    });
    open();
    PumpFor(20);
    EXPECT_TRUE(menuSeen) << "the popup menu did not open";
  }

  // --- Other programs ---
  // The user clicks another program's window: ours lose the activation.
  void ClickOtherProgram() {
    if (FOther == nullptr) FOther = headless::AddForeignWindow({"OtherApp", "Another program"});
    headless::ActivateForeign(FOther);
    Pump();
  }
  static void ClickOn(TControl* control, int x, int y,
                      headless::TButton button = headless::btLeft) {
    const POINT p = control->ClientToScreen(POINT{x, y});
    headless::Click(p.x, p.y, button);
    Pump();
  }

  // --- What the user sees ---
  static bool Shown(TCustomForm* form) {
    return form->HandleAllocated() && IsWindowVisible(form->WindowHandle()) &&
           !IsIconic(form->WindowHandle());
  }
  static bool AnyWindowOfOursShown() {
    for (TCustomForm* form : Screen->FormList())
      if (form->HandleAllocated() && IsWindowVisible(form->WindowHandle())) return true;
    return IsWindowVisible(Application->Handle());
  }

  std::vector<std::string> Errors;

 private:
  HWND FOther = nullptr;
};

// The notification-area icons of the X11 driver: each icon is a window of its own, docked into
// the tray host through the System Tray Protocol and XEmbed, docked again when a new tray host
// appears, drawn from its surface, with its tip as a tooltip. Internal to platform/x11.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Driver.h"
#include "platform/core/ClickTracker.h"

namespace platform::x11 {

class TX11Display;

class TX11Tray {
 public:
  // How an icon's mouse activity reaches its owner: the callback message with the icon's id
  // in wParam and the mouse message in lParam, posted as the shell posts it.
  using TPost = std::function<void(HWND owner, UINT msg, WPARAM wParam, LPARAM lParam)>;
  // The double-click rules in force, asked at every press.
  using TRules = std::function<TClickTracker::TRules()>;

  // The root window must already select StructureNotifyMask, so that a tray host that starts
  // later announces itself (MANAGER) to us.
  TX11Tray(TX11Display& display, TPost post, TRules rules);
  ~TX11Tray();
  TX11Tray(const TX11Tray&) = delete;
  TX11Tray& operator=(const TX11Tray&) = delete;

  // --- What Shell_NotifyIconA asks ---
  // False without a tray host, when the icon exists already or when the host did not take it
  // in time. Returns once the icon is docked, handling the events about it meanwhile. Without
  // `await` it only asks the host (if any) to take the icon, and keeps it to dock into the
  // next host that comes.
  bool Add(const TrayIcon& icon, bool await = true);
  bool Modify(const TrayIcon& icon);
  bool Delete(HWND owner, UINT id);

  // --- The event loop ---
  // Handles `event` when it concerns the tray host or an icon; true when it was consumed.
  bool HandleEvent(const XEvent& event, DWORD now);
  // Runs what is due at `now` (showing a tooltip); returns the next deadline or 0 for none.
  DWORD Tick(DWORD now);

  // --- State for tests and figures ---
  Window HostWindow() const { return FHost; }
  // True when the icon sits mapped inside the tray host.
  bool Docked(HWND owner, UINT id) const;
  Window IconWindow(HWND owner, UINT id) const;
  // True for the tray's own windows (icons, the tooltip), which are no program's windows.
  bool OwnsWindow(Window w) const { return w == FTipWindow || FindWindow(w) != nullptr; }

 private:
  struct TIcon;

  void FindHost();
  void WatchHost(Window host);
  void HostGone();
  bool Dock(TIcon& icon);
  bool AwaitDocking(TIcon& icon);
  TIcon* Find(HWND owner, UINT id) const;
  TIcon* FindWindow(Window w) const;
  void Draw(TIcon& icon);
  bool HandleIconEvent(TIcon& icon, const XEvent& event, DWORD now);
  void Pointer(TIcon& icon, const XEvent& event, DWORD now);
  void Notify(const TIcon& icon, UINT mouseMessage) const;
  void ShowTip(TIcon& icon);
  void DrawTip();
  void HideTip();

  TX11Display& FDisplay;
  TPost FPost;
  TRules FRules;
  Window FHost = 0;
  std::vector<std::unique_ptr<TIcon>> FIcons;
  GC FGc = nullptr;

  // The tooltip: one window for every icon, since the pointer hovers over one at a time.
  Window FTipWindow = 0;
  TIcon* FHover = nullptr;  // the icon under the pointer
  DWORD FTipDue = 0;        // when the tip shows; 0 while none is pending
  bool FTipShown = false;
  std::string FTipText;  // what the shown tip says
  XFontStruct* FFont = nullptr;
};

}  // namespace platform::x11

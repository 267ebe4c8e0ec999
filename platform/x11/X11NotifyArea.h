// The notification area of the X11 driver: each icon is shown as a StatusNotifierItem where the
// session bus has a watcher, else docked into an XEmbed tray, and moves between the two as
// watchers and trays come and go. Internal to platform/x11.
#pragma once

#include <map>
#include <memory>
#include <utility>

#include "platform/Driver.h"
#include "platform/x11/X11StatusNotifier.h"
#include "platform/x11/X11Tray.h"

namespace platform::x11 {

class TX11NotifyArea {
 public:
  // Connects to the session bus at `busAddress` (the user's own bus when null) for the items;
  // without a bus every icon goes to the tray. The hooks' shownChanged is the area's own.
  TX11NotifyArea(TX11Tray& tray, TStatusNotifier::THooks hooks, const char* busAddress = nullptr);

  // --- What Shell_NotifyIconA asks ---
  // True once the icon is shown: registered with a watcher or docked into a tray; also, where
  // a session bus runs, when neither is there yet and the icon waits for the first to come.
  // Never waits for the bus when a tray can take the icon meanwhile.
  bool Add(const TrayIcon& icon);
  bool Modify(const TrayIcon& icon);
  bool Delete(HWND owner, UINT id);

  // --- State for tests and figures ---
  bool Shown(HWND owner, UINT id) const;
  bool AsItem(HWND owner, UINT id) const;
  TStatusNotifier* Items() const { return FItems.get(); }

  // --- The event loop ---
  // The bus's descriptor (-1 for none), its events and its next deadline (ms, -1 for none).
  int Fd() const;
  short Events() const;
  int TimeoutMs() const;
  // Handles what the bus has for us; true when anything came.
  bool Process();

 private:
  void ItemShownChanged(HWND owner, UINT id, bool shown);

  TX11Tray& FTray;
  std::unique_ptr<TStatusNotifier> FItems;
  std::map<std::pair<HWND, UINT>, TrayIcon> FIcons;  // every icon accepted, as last given
};

}  // namespace platform::x11

// The notification area of the X11 driver: StatusNotifierItems where a watcher runs, else the
// XEmbed tray. Internal to platform/x11.
#include "platform/x11/X11NotifyArea.h"

namespace platform::x11 {

namespace {

// How long NIM_ADD waits for the bus to say whether a watcher runs, when no tray could take
// the icon meanwhile. A bus answers in a millisecond; this only bounds a bus that hangs.
constexpr int kAnswerTimeoutMs = 1000;

}  // namespace

TX11NotifyArea::TX11NotifyArea(TX11Tray& tray, TStatusNotifier::THooks hooks,
                               const char* busAddress)
    : FTray(tray) {
  hooks.shownChanged = [this](HWND owner, UINT id, bool shown) {
    ItemShownChanged(owner, id, shown);
  };
  FItems = TStatusNotifier::Open(std::move(hooks), busAddress);
}

bool TX11NotifyArea::Add(const TrayIcon& icon) {
  const auto key = std::make_pair(icon.owner, icon.id);
  if (FIcons.count(key) != 0) return false;
  bool shown = false;
  if (FItems != nullptr) {
    // Without a tray to dock into meanwhile, the bus's answer decides; with one, the icon
    // docks now and moves to the watcher once the bus says there is one.
    if (FItems->Watcher() == TStatusNotifier::wsAsking && FTray.HostWindow() == 0)
      FItems->AwaitAnswer(kAnswerTimeoutMs);
    shown = FItems->Add(icon, true);
  }
  if (!shown) shown = FTray.Add(icon);
  if (!shown) {
    // Neither a watcher nor a tray yet: as a session starts, the panel often comes up after
    // the programs, and the program never adds its icon again. The icon waits for a tray's
    // announcement, and on the bus (when there is one) for a watcher.
    shown = FTray.Add(icon, false);
  }
  if (!shown) {
    if (FItems != nullptr) FItems->Delete(icon.owner, icon.id);
    return false;
  }
  FIcons[key] = icon;
  return true;
}

bool TX11NotifyArea::Modify(const TrayIcon& icon) {
  const auto it = FIcons.find({icon.owner, icon.id});
  if (it == FIcons.end()) return false;
  it->second = icon;
  if (FItems != nullptr) FItems->Modify(icon);
  FTray.Modify(icon);
  return true;
}

bool TX11NotifyArea::Delete(HWND owner, UINT id) {
  if (FIcons.erase({owner, id}) == 0) return false;
  if (FItems != nullptr) FItems->Delete(owner, id);
  FTray.Delete(owner, id);
  return true;
}

void TX11NotifyArea::ItemShownChanged(HWND owner, UINT id, bool shown) {
  // An icon being added decides for itself in Add.
  const auto it = FIcons.find({owner, id});
  if (it == FIcons.end()) return;
  if (shown) {
    FTray.Delete(owner, id);
  } else if (FTray.IconWindow(owner, id) == 0) {
    // The watcher went, or the bus: back to the tray, or waiting for one.
    FTray.Add(it->second, false);
  }
}

bool TX11NotifyArea::Shown(HWND owner, UINT id) const {
  return AsItem(owner, id) || FTray.Docked(owner, id);
}

bool TX11NotifyArea::AsItem(HWND owner, UINT id) const {
  return FItems != nullptr && FItems->Shown(owner, id);
}

int TX11NotifyArea::Fd() const {
  return FItems != nullptr ? FItems->Fd() : -1;
}

short TX11NotifyArea::Events() const {
  return FItems != nullptr ? FItems->Events() : short(0);
}

int TX11NotifyArea::TimeoutMs() const {
  return FItems != nullptr ? FItems->TimeoutMs() : -1;
}

bool TX11NotifyArea::Process() {
  return FItems != nullptr && FItems->Process();
}

}  // namespace platform::x11

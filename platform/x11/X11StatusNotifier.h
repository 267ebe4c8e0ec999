// Notification-area icons as StatusNotifierItems on the session bus (sd-bus): each icon is
// exported under a name of its own and registered with the desktop's StatusNotifierWatcher,
// and a host's calls become the callback messages a click would post. Internal to platform/x11.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include <systemd/sd-bus.h>

#include "platform/Driver.h"

namespace platform::x11 {

class TStatusNotifier {
 public:
  // How a host's call reaches the icon's owner: the callback message with the icon's id in
  // wParam and the mouse message in lParam, posted as the shell posts it.
  using TPost = std::function<void(HWND owner, UINT msg, WPARAM wParam, LPARAM lParam)>;
  // Puts the pointer, as the program reads it, where the host says the click happened.
  using TPointAt = std::function<void(POINT screen)>;
  using TScreen = std::function<SIZE()>;
  // The watcher took the icon (true), or the icon is no longer shown by one (false).
  using TShownChanged = std::function<void(HWND owner, UINT id, bool shown)>;

  struct THooks {
    TPost post;
    TPointAt pointAt;
    TScreen screen;
    TShownChanged shownChanged;
  };

  // Whether the session bus has a watcher: asked once at the start, then followed.
  enum TWatcherState { wsAsking, wsPresent, wsAbsent };

  // Connects to the session bus at `address` (the user's own bus when null) and asks whether a
  // watcher runs, without waiting for any answer. Null when there is no bus to connect to.
  static std::unique_ptr<TStatusNotifier> Open(THooks hooks, const char* address = nullptr);
  ~TStatusNotifier();
  TStatusNotifier(const TStatusNotifier&) = delete;
  TStatusNotifier& operator=(const TStatusNotifier&) = delete;

  TWatcherState Watcher() const { return FWatcher; }
  bool Connected() const { return FBus != nullptr; }
  // Handles the bus alone until the question whether a watcher runs has its answer, or until
  // `timeoutMs` has passed.
  void AwaitAnswer(int timeoutMs);

  // --- Icons ---
  // Exports the icon and, when a watcher runs, registers it; with `await`, returns once the
  // watcher has answered. True when the watcher shows the icon. An icon not shown yet is
  // registered with the next watcher that appears.
  bool Add(const TrayIcon& icon, bool await);
  // New image or tip: the host hears of it through the item's signals.
  bool Modify(const TrayIcon& icon);
  // Withdraws the icon: its name leaves the bus, which tells the host to drop it.
  bool Delete(HWND owner, UINT id);
  bool Shown(HWND owner, UINT id) const;
  // The bus name under which the icon is exported, or empty.
  std::string ServiceOf(HWND owner, UINT id) const;

  // --- The event loop ---
  // The connection's descriptor and the poll events it waits for; -1 once the bus is gone.
  int Fd() const;
  short Events() const;
  // Milliseconds until the bus library has something due, or -1 for nothing.
  int TimeoutMs() const;
  // Handles everything the bus has for us now; never blocks. A bus that closed is dropped
  // here, and every icon it showed reported as no longer shown. True when anything came.
  bool Process();

 private:
  struct TItem;
  explicit TStatusNotifier(THooks hooks);

  bool Start(const char* address);
  void AskForWatcher();
  // Handles the bus alone until `done` holds, the bus is gone or `timeoutMs` has passed.
  void PumpUntil(const std::function<bool()>& done, int timeoutMs);
  void WatcherAppeared();
  void WatcherVanished();
  void Register(TItem& item);
  void SetShown(TItem& item, bool shown);
  void Close();
  TItem* Find(HWND owner, UINT id) const;
  TItem* ItemOfCall(sd_bus_message* call) const;
  void Click(const TItem& item, int x, int y, UINT down, bool doubled);
  void Emit(const char* signal);

  // --- Bus callbacks ---
  static int OnWatcherAnswer(sd_bus_message* reply, void* self, sd_bus_error* error);
  static int OnOwnerChanged(sd_bus_message* signal, void* self, sd_bus_error* error);
  static int OnRegistered(sd_bus_message* reply, void* item, sd_bus_error* error);
  static int OnMethod(sd_bus_message* call, void* self, sd_bus_error* error);
  static int OnProperty(sd_bus* bus, const char* path, const char* interface, const char* property,
                        sd_bus_message* reply, void* self, sd_bus_error* error);
  static sd_bus_vtable kVtable[];
  int AppendProperty(const TItem& item, const std::string& property, sd_bus_message* reply) const;

  THooks FHooks;
  sd_bus* FBus = nullptr;
  sd_bus_slot* FObjectSlot = nullptr;
  sd_bus_slot* FMatchSlot = nullptr;
  sd_bus_slot* FAskSlot = nullptr;
  TWatcherState FWatcher = wsAsking;
  std::string FId;  // the item's identity: the program's name (X11ProgramName.h)
  std::map<std::pair<HWND, UINT>, std::unique_ptr<TItem>> FItems;
  unsigned FNextSerial = 1;
};

}  // namespace platform::x11

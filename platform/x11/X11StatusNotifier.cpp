// Notification-area icons as StatusNotifierItems on the session bus, through sd-bus. Internal to
// platform/x11.
#include "platform/x11/X11StatusNotifier.h"

#include <errno.h>
#include <poll.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/core/CodePage.h"
#include "platform/x11/SdBus.h"
#include "platform/x11/X11ProgramName.h"

namespace platform::x11 {

namespace {

constexpr const char* kWatcherName = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
// Every icon is exported at the one path hosts look at under a name of its own; calls are told
// apart by the name they were addressed to.
constexpr const char* kItemPath = "/StatusNotifierItem";
constexpr const char* kWatcherMatch =
    "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
    "interface='org.freedesktop.DBus',member='NameOwnerChanged',"
    "arg0='org.kde.StatusNotifierWatcher'";
// How long NIM_ADD waits for the watcher to take the icon, generous for a loaded machine.
constexpr int kRegisterTimeoutMs = 3000;

// Mouse messages as the shell reports them in lParam.
constexpr UINT kWmMouseMove = 0x0200;
constexpr UINT kWmLButtonDown = 0x0201;
constexpr UINT kWmRButtonDown = 0x0204;
constexpr UINT kWmMButtonDown = 0x0207;
constexpr UINT kUpAfterDown = 1;
constexpr UINT kDoubleAfterDown = 2;

int MillisecondsUntil(uint64_t dueMicroseconds) {
  if (dueMicroseconds == UINT64_MAX) return -1;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t nowMicroseconds = uint64_t(now.tv_sec) * 1000000 + uint64_t(now.tv_nsec) / 1000;
  if (dueMicroseconds <= nowMicroseconds) return 0;
  return int(std::min<uint64_t>((dueMicroseconds - nowMicroseconds + 999) / 1000, INT32_MAX));
}

// Where sd-bus looks for the session's bus: the address the session gives, else the user's
// runtime folder.
bool HasSessionBusAddress() {
  for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"}) {
    const char* value = getenv(name);
    if (value != nullptr && *value != 0) return true;
  }
  return false;
}

// The icon's pixels (0xAARRGGBB) as hosts take them: ARGB32 in network byte order.
int AppendPixmaps(sd_bus_message* reply, const Surface& image) {
  int r = SdBus().sd_bus_message_open_container(reply, 'a', "(iiay)");
  if (r < 0 || image.width == 0 || image.height == 0)
    return r < 0 ? r : SdBus().sd_bus_message_close_container(reply);
  std::vector<uint8_t> bytes;
  bytes.reserve(image.pixels.size() * 4);
  for (const uint32_t p : image.pixels) {
    bytes.push_back(uint8_t(p >> 24));
    bytes.push_back(uint8_t(p >> 16));
    bytes.push_back(uint8_t(p >> 8));
    bytes.push_back(uint8_t(p));
  }
  if ((r = SdBus().sd_bus_message_open_container(reply, 'r', "iiay")) < 0) return r;
  if ((r = SdBus().sd_bus_message_append(reply, "ii", int32_t(image.width),
                                         int32_t(image.height))) < 0)
    return r;
  if ((r = SdBus().sd_bus_message_append_array(reply, 'y', bytes.data(), bytes.size())) < 0)
    return r;
  if ((r = SdBus().sd_bus_message_close_container(reply)) < 0) return r;
  return SdBus().sd_bus_message_close_container(reply);
}

int AppendNoPixmaps(sd_bus_message* reply) {
  return AppendPixmaps(reply, Surface());
}

}  // namespace

struct TStatusNotifier::TItem {
  TStatusNotifier* notifier = nullptr;
  TrayIcon icon;
  std::string service;  // org.kde.StatusNotifierItem-PID-N
  bool shown = false;
  bool answered = false;  // the watcher answered the latest registration
  sd_bus_slot* registerSlot = nullptr;
};

// --- The item's interface ---

// A table of static storage: it must outlive the connection, which may close as the program
// ends. Its start is given the library's format marker when the library is opened.
sd_bus_vtable TStatusNotifier::kVtable[] = {
    CALVIX_SD_BUS_VTABLE_START,
    SD_BUS_METHOD("Activate", "ii", "", OnMethod, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("SecondaryActivate", "ii", "", OnMethod, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("ContextMenu", "ii", "", OnMethod, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Scroll", "is", "", OnMethod, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_PROPERTY("Category", "s", OnProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Id", "s", OnProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Title", "s", OnProperty, 0, 0),
    SD_BUS_PROPERTY("Status", "s", OnProperty, 0, 0),
    SD_BUS_PROPERTY("WindowId", "i", OnProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("IconName", "s", OnProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("IconPixmap", "a(iiay)", OnProperty, 0, 0),
    SD_BUS_PROPERTY("OverlayIconName", "s", OnProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("OverlayIconPixmap", "a(iiay)", OnProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("AttentionIconName", "s", OnProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("AttentionIconPixmap", "a(iiay)", OnProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("AttentionMovieName", "s", OnProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("ToolTip", "(sa(iiay)ss)", OnProperty, 0, 0),
    SD_BUS_PROPERTY("ItemIsMenu", "b", OnProperty, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_SIGNAL("NewTitle", "", 0),
    SD_BUS_SIGNAL("NewIcon", "", 0),
    SD_BUS_SIGNAL("NewToolTip", "", 0),
    SD_BUS_SIGNAL("NewStatus", "s", 0),
    SD_BUS_VTABLE_END};

// --- Construction ---

TStatusNotifier::TStatusNotifier(THooks hooks) : FHooks(std::move(hooks)) {
  FId = Utf8FromCp1252(ProgramName());
}

std::unique_ptr<TStatusNotifier> TStatusNotifier::Open(THooks hooks, const char* address) {
  std::unique_ptr<TStatusNotifier> notifier(new TStatusNotifier(std::move(hooks)));
  if (!notifier->Start(address)) return nullptr;
  return notifier;
}

TStatusNotifier::~TStatusNotifier() {
  // The names leave the bus with the connection; nobody is told, since the driver goes too.
  FHooks.shownChanged = nullptr;
  Close();
}

bool TStatusNotifier::Start(const char* address) {
  // Without an address to reach the session's bus by, sd-bus would find none either; the
  // library is not even opened.
  if (address == nullptr && !HasSessionBusAddress()) return false;
  if (OpenSdBus() == nullptr) return false;
  StartVtable(kVtable);
  sd_bus* bus = nullptr;
  int r = 0;
  if (address == nullptr) {
    // Connecting to a local socket does not wait for the bus to answer: the greeting and our
    // first questions go out as the loop runs.
    r = SdBus().sd_bus_open_user(&bus);
  } else if ((r = SdBus().sd_bus_new(&bus)) >= 0) {
    SdBus().sd_bus_set_address(bus, address);
    SdBus().sd_bus_set_bus_client(bus, 1);
    r = SdBus().sd_bus_start(bus);
  }
  if (r < 0) {
    SdBus().sd_bus_unref(bus);
    return false;
  }
  FBus = bus;
  if (SdBus().sd_bus_add_object_vtable(FBus, &FObjectSlot, kItemPath, kItemInterface, kVtable,
                                       this) < 0) {
    Close();
    return false;
  }
  AskForWatcher();
  return FBus != nullptr;
}

void TStatusNotifier::AskForWatcher() {
  // The match goes out first, so that no change of owner falls between it and the answer.
  if (SdBus().sd_bus_add_match_async(FBus, &FMatchSlot, kWatcherMatch, OnOwnerChanged, nullptr,
                                     this) < 0 ||
      SdBus().sd_bus_call_method_async(
          FBus, &FAskSlot, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
          "NameHasOwner", OnWatcherAnswer, this, "s", kWatcherName) < 0) {
    Close();
  }
}

void TStatusNotifier::Close() {
  // Slots are made on a bus only; without one the library may never have been opened.
  if (FBus != nullptr) {
    for (auto& [key, item] : FItems)
      item->registerSlot = SdBus().sd_bus_slot_unref(item->registerSlot);
    FAskSlot = SdBus().sd_bus_slot_unref(FAskSlot);
    FMatchSlot = SdBus().sd_bus_slot_unref(FMatchSlot);
    FObjectSlot = SdBus().sd_bus_slot_unref(FObjectSlot);
    FBus = SdBus().sd_bus_close_unref(FBus);
  }
  FWatcher = wsAbsent;
  for (auto& [key, item] : FItems) {
    item->answered = true;
    SetShown(*item, false);
  }
}

// --- The watcher ---

int TStatusNotifier::OnWatcherAnswer(sd_bus_message* reply, void* self, sd_bus_error*) {
  auto* notifier = static_cast<TStatusNotifier*>(self);
  notifier->FAskSlot = SdBus().sd_bus_slot_unref(notifier->FAskSlot);
  // A change of owner that came first has told already.
  if (notifier->FWatcher != wsAsking) return 0;
  int hasOwner = 0;
  if (SdBus().sd_bus_message_is_method_error(reply, nullptr) ||
      SdBus().sd_bus_message_read(reply, "b", &hasOwner) < 0 || !hasOwner) {
    notifier->FWatcher = wsAbsent;
    return 0;
  }
  notifier->WatcherAppeared();
  return 0;
}

int TStatusNotifier::OnOwnerChanged(sd_bus_message* signal, void* self, sd_bus_error*) {
  auto* notifier = static_cast<TStatusNotifier*>(self);
  const char *name = nullptr, *oldOwner = nullptr, *newOwner = nullptr;
  if (SdBus().sd_bus_message_read(signal, "sss", &name, &oldOwner, &newOwner) < 0) return 0;
  if (oldOwner != nullptr && *oldOwner != '\0') notifier->WatcherVanished();
  if (newOwner != nullptr && *newOwner != '\0') notifier->WatcherAppeared();
  return 0;
}

void TStatusNotifier::WatcherAppeared() {
  FWatcher = wsPresent;
  for (auto& [key, item] : FItems)
    Register(*item);
}

void TStatusNotifier::WatcherVanished() {
  FWatcher = wsAbsent;
  for (auto& [key, item] : FItems) {
    item->registerSlot = SdBus().sd_bus_slot_unref(item->registerSlot);
    item->answered = true;
    SetShown(*item, false);
  }
}

void TStatusNotifier::Register(TItem& item) {
  if (FBus == nullptr || FWatcher != wsPresent) return;
  item.registerSlot = SdBus().sd_bus_slot_unref(item.registerSlot);
  item.answered = false;
  if (SdBus().sd_bus_call_method_async(FBus, &item.registerSlot, kWatcherName, kWatcherPath,
                                       kWatcherName, "RegisterStatusNotifierItem", OnRegistered,
                                       &item, "s", item.service.c_str()) < 0) {
    item.answered = true;
  }
}

int TStatusNotifier::OnRegistered(sd_bus_message* reply, void* data, sd_bus_error*) {
  auto& item = *static_cast<TItem*>(data);
  item.answered = true;
  item.notifier->SetShown(item, !SdBus().sd_bus_message_is_method_error(reply, nullptr));
  return 0;
}

void TStatusNotifier::SetShown(TItem& item, bool shown) {
  if (item.shown == shown) return;
  item.shown = shown;
  if (FHooks.shownChanged) FHooks.shownChanged(item.icon.owner, item.icon.id, shown);
}

void TStatusNotifier::AwaitAnswer(int timeoutMs) {
  PumpUntil([this] { return FWatcher != wsAsking; }, timeoutMs);
}

void TStatusNotifier::PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    Process();
    if (FBus == nullptr || done()) return;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        due - std::chrono::steady_clock::now());
    if (left.count() <= 0) return;
    const int busDue = TimeoutMs();
    pollfd fd{Fd(), Events(), 0};
    poll(&fd, 1, busDue < 0 ? int(left.count()) : std::min(busDue, int(left.count())));
  }
}

// --- Icons ---

TStatusNotifier::TItem* TStatusNotifier::Find(HWND owner, UINT id) const {
  const auto it = FItems.find({owner, id});
  return it == FItems.end() ? nullptr : it->second.get();
}

bool TStatusNotifier::Shown(HWND owner, UINT id) const {
  const TItem* item = Find(owner, id);
  return item != nullptr && item->shown;
}

std::string TStatusNotifier::ServiceOf(HWND owner, UINT id) const {
  const TItem* item = Find(owner, id);
  return item != nullptr ? item->service : std::string();
}

bool TStatusNotifier::Add(const TrayIcon& icon, bool await) {
  if (FBus == nullptr || Find(icon.owner, icon.id) != nullptr) return false;
  auto item = std::make_unique<TItem>();
  item->notifier = this;
  item->icon = icon;
  item->service = "org.kde.StatusNotifierItem-" + std::to_string(getpid()) + "-" +
                  std::to_string(FNextSerial++);
  // The bus handles our requests in order: the name is ours before the watcher hears of it.
  if (SdBus().sd_bus_request_name_async(FBus, nullptr, item->service.c_str(), 0, nullptr, nullptr) <
      0)
    return false;
  TItem& added = *item;
  FItems[{icon.owner, icon.id}] = std::move(item);
  Register(added);
  if (!await || FWatcher != wsPresent) return added.shown;
  PumpUntil([&added] { return added.answered; }, kRegisterTimeoutMs);
  return Shown(icon.owner, icon.id);
}

bool TStatusNotifier::Modify(const TrayIcon& icon) {
  TItem* item = Find(icon.owner, icon.id);
  if (item == nullptr) return false;
  const bool newImage = item->icon.image.width != icon.image.width ||
                        item->icon.image.height != icon.image.height ||
                        item->icon.image.pixels != icon.image.pixels;
  const bool newTip = item->icon.tip != icon.tip;
  item->icon = icon;
  if (newImage) Emit("NewIcon");
  if (newTip) {
    Emit("NewTitle");
    Emit("NewToolTip");
  }
  return true;
}

bool TStatusNotifier::Delete(HWND owner, UINT id) {
  TItem* item = Find(owner, id);
  if (item == nullptr) return false;
  item->registerSlot = SdBus().sd_bus_slot_unref(item->registerSlot);
  if (FBus != nullptr)
    SdBus().sd_bus_release_name_async(FBus, nullptr, item->service.c_str(), nullptr, nullptr);
  FItems.erase({owner, id});
  return true;
}

void TStatusNotifier::Emit(const char* signal) {
  if (FBus != nullptr) SdBus().sd_bus_emit_signal(FBus, kItemPath, kItemInterface, signal, nullptr);
}

// --- The event loop ---

int TStatusNotifier::Fd() const {
  return FBus != nullptr ? SdBus().sd_bus_get_fd(FBus) : -1;
}

short TStatusNotifier::Events() const {
  const int events = FBus != nullptr ? SdBus().sd_bus_get_events(FBus) : 0;
  return events > 0 ? short(events) : short(0);
}

int TStatusNotifier::TimeoutMs() const {
  uint64_t due = UINT64_MAX;
  if (FBus == nullptr || SdBus().sd_bus_get_timeout(FBus, &due) < 0) return -1;
  return MillisecondsUntil(due);
}

bool TStatusNotifier::Process() {
  bool any = false;
  while (FBus != nullptr) {
    const int r = SdBus().sd_bus_process(FBus, nullptr);
    if (r < 0) {
      // The bus closed or broke: every icon it showed goes back to the other ways of showing.
      Close();
      return true;
    }
    if (r == 0) break;
    any = true;
  }
  return any;
}

// --- Calls from hosts ---

TStatusNotifier::TItem* TStatusNotifier::ItemOfCall(sd_bus_message* call) const {
  const char* destination =
      call != nullptr ? SdBus().sd_bus_message_get_destination(call) : nullptr;
  if (destination != nullptr) {
    for (const auto& [key, item] : FItems) {
      if (item->service == destination) return item.get();
    }
  }
  // A host that addressed our connection by its unique name means the only icon there is.
  return FItems.empty() ? nullptr : FItems.begin()->second.get();
}

int TStatusNotifier::OnMethod(sd_bus_message* call, void* self, sd_bus_error* error) {
  auto* notifier = static_cast<TStatusNotifier*>(self);
  const TItem* item = notifier->ItemOfCall(call);
  if (item == nullptr) {
    return SdBus().sd_bus_error_set(error, SD_BUS_ERROR_UNKNOWN_OBJECT,
                                    "No notification-area icon here");
  }
  const std::string member = SdBus().sd_bus_message_get_member(call);
  if (member == "Scroll") return SdBus().sd_bus_reply_method_return(call, "");
  int32_t x = 0, y = 0;
  const int r = SdBus().sd_bus_message_read(call, "ii", &x, &y);
  if (r < 0) return r;
  // Each call stands for the clicks a user would give the icon, and can do nothing more.
  if (member == "Activate") {
    notifier->Click(*item, x, y, kWmLButtonDown, true);
  } else if (member == "ContextMenu") {
    notifier->Click(*item, x, y, kWmRButtonDown, false);
  } else {
    notifier->Click(*item, x, y, kWmMButtonDown, false);
  }
  return SdBus().sd_bus_reply_method_return(call, "");
}

void TStatusNotifier::Click(const TItem& item, int x, int y, UINT down, bool doubled) {
  const TrayIcon& icon = item.icon;
  if (icon.callbackMessage == 0 || !FHooks.post) return;
  // Hosts send what they like; the pointer is put inside the screen.
  const SIZE screen = FHooks.screen ? FHooks.screen() : SIZE{1, 1};
  const POINT at{std::clamp<LONG>(x, 0, std::max<LONG>(0, screen.cx - 1)),
                 std::clamp<LONG>(y, 0, std::max<LONG>(0, screen.cy - 1))};
  if (FHooks.pointAt) FHooks.pointAt(at);
  auto post = [&](UINT mouseMessage) {
    FHooks.post(icon.owner, icon.callbackMessage, WPARAM(icon.id), LPARAM(mouseMessage));
  };
  // The shell's order: the pointer arrives, then press and release; a double click adds the
  // double-click message and its release.
  post(kWmMouseMove);
  post(down);
  post(down + kUpAfterDown);
  if (doubled) {
    post(down + kDoubleAfterDown);
    post(down + kUpAfterDown);
  }
}

int TStatusNotifier::OnProperty(sd_bus* bus, const char*, const char*, const char* property,
                                sd_bus_message* reply, void* self, sd_bus_error* error) {
  auto* notifier = static_cast<TStatusNotifier*>(self);
  const TItem* item = notifier->ItemOfCall(SdBus().sd_bus_get_current_message(bus));
  if (item == nullptr) {
    return SdBus().sd_bus_error_set(error, SD_BUS_ERROR_UNKNOWN_OBJECT,
                                    "No notification-area icon here");
  }
  return notifier->AppendProperty(*item, property, reply);
}

int TStatusNotifier::AppendProperty(const TItem& item, const std::string& property,
                                    sd_bus_message* reply) const {
  const std::string title = Utf8FromCp1252(item.icon.tip);
  if (property == "Category") return SdBus().sd_bus_message_append(reply, "s", "ApplicationStatus");
  if (property == "Id") return SdBus().sd_bus_message_append(reply, "s", FId.c_str());
  if (property == "Title") return SdBus().sd_bus_message_append(reply, "s", title.c_str());
  if (property == "Status") return SdBus().sd_bus_message_append(reply, "s", "Active");
  if (property == "WindowId") return SdBus().sd_bus_message_append(reply, "i", int32_t(0));
  if (property == "IconPixmap") return AppendPixmaps(reply, item.icon.image);
  if (property == "OverlayIconPixmap" || property == "AttentionIconPixmap")
    return AppendNoPixmaps(reply);
  if (property == "ItemIsMenu") return SdBus().sd_bus_message_append(reply, "b", 0);
  if (property == "ToolTip") {
    int r = SdBus().sd_bus_message_open_container(reply, 'r', "sa(iiay)ss");
    if (r < 0 || (r = SdBus().sd_bus_message_append(reply, "s", "")) < 0) return r;
    if ((r = AppendNoPixmaps(reply)) < 0) return r;
    if ((r = SdBus().sd_bus_message_append(reply, "ss", title.c_str(), "")) < 0) return r;
    return SdBus().sd_bus_message_close_container(reply);
  }
  // The names of themed icons and of the attention movie: none, the pixmaps say it all.
  return SdBus().sd_bus_message_append(reply, "s", "");
}

}  // namespace platform::x11

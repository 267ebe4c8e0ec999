// Notification-area icons as StatusNotifierItems, against a private session bus with a watcher
// of the test's own: registration, the properties and pixmaps hosts read, the signals, the
// clicks a host's calls stand for, and watchers and buses that come and go.
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "platform/x11/X11StatusNotifier.h"
#include "tests/support/FakeWatcher.h"

using namespace platform::x11;
using calvix_test::TFakeWatcher;
using calvix_test::TPrivateBus;

namespace {

constexpr UINT kCallback = 0x0400 + 100;
const HWND kOwner = reinterpret_cast<HWND>(0x1234);
constexpr UINT kId = 42;
constexpr const char* kPath = "/StatusNotifierItem";
constexpr const char* kInterface = "org.kde.StatusNotifierItem";

struct TPosted {
  HWND owner;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// The answer of a host's call: an error name, or the values read from the reply.
struct TAnswer {
  std::string error;
  std::string text;
  int32_t number = 0;
  std::vector<int32_t> sizes;  // width, height of each pixmap
  std::vector<uint8_t> bytes;  // the first pixmap's bytes
};

class StatusNotifierTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FBus.Started()) << "dbus-daemon did not start";
    FHooks.post = [this](HWND o, UINT m, WPARAM w, LPARAM l) { FPosted.push_back({o, m, w, l}); };
    FHooks.pointAt = [this](POINT p) { FPointedAt.push_back(p); };
    FHooks.screen = [] { return SIZE{1024, 768}; };
    FHooks.shownChanged = [this](HWND, UINT, bool shown) { FShownChanges.push_back(shown); };
  }

  std::unique_ptr<TStatusNotifier> OpenNotifier() {
    return TStatusNotifier::Open(FHooks, FBus.Address().c_str());
  }

  // Runs the notifier's loop until `done` holds; false after five seconds.
  bool PumpUntil(TStatusNotifier& notifier, const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      notifier.Process();
      pollfd fd{notifier.Fd(), notifier.Events(), 0};
      if (fd.fd < 0) return done();
      poll(&fd, 1, 20);
    }
    return true;
  }

  template <typename T>
  T Await(TStatusNotifier& notifier, std::future<T> future) {
    PumpUntil(notifier, [&] {
      return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    return future.get();
  }

  // A host reads one property of the item at `service`.
  TAnswer Get(TStatusNotifier& notifier, TFakeWatcher& host, const std::string& service,
              const std::string& property) {
    return Await(notifier, host.Run<TAnswer>([service, property](sd_bus* bus) {
      TAnswer answer;
      sd_bus_error error = SD_BUS_ERROR_NULL;
      sd_bus_message* reply = nullptr;
      if (sd_bus_call_method(bus, service.c_str(), kPath, "org.freedesktop.DBus.Properties", "Get",
                             &error, &reply, "ss", kInterface, property.c_str()) < 0) {
        answer.error = error.name != nullptr ? error.name : "failed";
        sd_bus_error_free(&error);
        return answer;
      }
      char type = 0;
      const char* contents = nullptr;
      sd_bus_message_peek_type(reply, &type, &contents);
      sd_bus_message_enter_container(reply, 'v', contents);
      const std::string signature = contents != nullptr ? contents : "";
      if (signature == "s") {
        const char* s = nullptr;
        sd_bus_message_read(reply, "s", &s);
        answer.text = s;
      } else if (signature == "b" || signature == "i") {
        sd_bus_message_read_basic(reply, signature[0], &answer.number);
      } else if (signature == "a(iiay)") {
        sd_bus_message_enter_container(reply, 'a', "(iiay)");
        while (sd_bus_message_enter_container(reply, 'r', "iiay") > 0) {
          int32_t w = 0, h = 0;
          const void* data = nullptr;
          size_t size = 0;
          sd_bus_message_read(reply, "ii", &w, &h);
          sd_bus_message_read_array(reply, 'y', &data, &size);
          if (answer.sizes.empty()) {
            const auto* b = static_cast<const uint8_t*>(data);
            answer.bytes.assign(b, b + size);
          }
          answer.sizes.push_back(w);
          answer.sizes.push_back(h);
          sd_bus_message_exit_container(reply);
        }
      } else if (signature == "(sa(iiay)ss)") {
        const char *icon = nullptr, *title = nullptr, *text = nullptr;
        sd_bus_message_enter_container(reply, 'r', "sa(iiay)ss");
        sd_bus_message_read(reply, "s", &icon);
        sd_bus_message_skip(reply, "a(iiay)");
        sd_bus_message_read(reply, "ss", &title, &text);
        answer.text = title;
      }
      sd_bus_message_unref(reply);
      return answer;
    }));
  }

  // A host calls a method of the item with two integers (or, for `wrong`, a text).
  std::string Call(TStatusNotifier& notifier, TFakeWatcher& host, const std::string& service,
                   const std::string& method, int32_t x, int32_t y, bool wrong = false) {
    return Await(notifier, host.Run<std::string>([=](sd_bus* bus) {
      sd_bus_error error = SD_BUS_ERROR_NULL;
      const int r = wrong ? sd_bus_call_method(bus, service.c_str(), kPath, kInterface,
                                               method.c_str(), &error, nullptr, "s", "x")
                          : sd_bus_call_method(bus, service.c_str(), kPath, kInterface,
                                               method.c_str(), &error, nullptr, "ii", x, y);
      std::string name = r < 0 ? (error.name != nullptr ? error.name : "failed") : "";
      sd_bus_error_free(&error);
      return name;
    }));
  }

  bool HasOwner(TStatusNotifier& notifier, TFakeWatcher& host, const std::string& name) {
    return Await(notifier, host.Run<bool>([name](sd_bus* bus) {
      sd_bus_message* reply = nullptr;
      int owned = 0;
      if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                             "org.freedesktop.DBus", "NameHasOwner", nullptr, &reply, "s",
                             name.c_str()) >= 0) {
        sd_bus_message_read(reply, "b", &owned);
        sd_bus_message_unref(reply);
      }
      return owned != 0;
    }));
  }

  platform::TrayIcon Icon() const {
    platform::TrayIcon icon;
    icon.owner = kOwner;
    icon.id = kId;
    icon.callbackMessage = kCallback;
    icon.image = platform::Surface(2, 1, 0);
    icon.image.At(0, 0) = 0xFF102030;  // opaque
    icon.image.At(1, 0) = 0x00000000;  // see-through
    icon.tip = "Calvix \xE7\xE3o";     // Windows-1252: "ção"
    return icon;
  }

  std::vector<LPARAM> MouseMessages() const {
    std::vector<LPARAM> out;
    for (const TPosted& p : FPosted) {
      EXPECT_EQ(p.owner, kOwner);
      EXPECT_EQ(p.msg, kCallback);
      EXPECT_EQ(p.wParam, WPARAM(kId));
      out.push_back(p.lParam);
    }
    return out;
  }

  TPrivateBus FBus;
  TStatusNotifier::THooks FHooks;
  std::vector<TPosted> FPosted;
  std::vector<POINT> FPointedAt;
  std::vector<bool> FShownChanges;
};

}  // namespace

TEST_F(StatusNotifierTest, RegistersWithTheWatcherAndAnswersWhatHostsRead) {
  TFakeWatcher watcher(FBus.Address());
  ASSERT_TRUE(watcher.Ready());
  auto notifier = OpenNotifier();
  ASSERT_NE(notifier, nullptr);
  EXPECT_EQ(notifier->Watcher(), TStatusNotifier::wsAsking) << "opening waits for no answer";
  ASSERT_TRUE(
      PumpUntil(*notifier, [&] { return notifier->Watcher() != TStatusNotifier::wsAsking; }));
  EXPECT_EQ(notifier->Watcher(), TStatusNotifier::wsPresent);

  EXPECT_FALSE(notifier->Add(Icon(), false)) << "not shown before the watcher answers";
  ASSERT_TRUE(PumpUntil(*notifier, [&] { return notifier->Shown(kOwner, kId); }));
  EXPECT_EQ(FShownChanges, std::vector<bool>{true});
  const std::string service = notifier->ServiceOf(kOwner, kId);
  EXPECT_EQ(service.rfind("org.kde.StatusNotifierItem-" + std::to_string(getpid()) + "-", 0), 0u);
  EXPECT_EQ(watcher.Registered(), std::vector<std::string>{service});
  EXPECT_FALSE(notifier->Add(Icon(), false)) << "the same icon twice";

  EXPECT_EQ(Get(*notifier, watcher, service, "Category").text, "ApplicationStatus");
  EXPECT_EQ(Get(*notifier, watcher, service, "Status").text, "Active");
  EXPECT_FALSE(Get(*notifier, watcher, service, "Id").text.empty());
  EXPECT_EQ(Get(*notifier, watcher, service, "Title").text, "Calvix \xC3\xA7\xC3\xA3o") << "UTF-8";
  EXPECT_EQ(Get(*notifier, watcher, service, "ToolTip").text, "Calvix \xC3\xA7\xC3\xA3o");
  EXPECT_EQ(Get(*notifier, watcher, service, "ItemIsMenu").number, 0);
  EXPECT_EQ(Get(*notifier, watcher, service, "IconName").text, "");
  const TAnswer pixmaps = Get(*notifier, watcher, service, "IconPixmap");
  EXPECT_EQ(pixmaps.sizes, (std::vector<int32_t>{2, 1}));
  EXPECT_EQ(pixmaps.bytes, (std::vector<uint8_t>{0xFF, 0x10, 0x20, 0x30, 0, 0, 0, 0}))
      << "ARGB32 in network byte order";
  EXPECT_EQ(Get(*notifier, watcher, service, "NoSuchProperty").error,
            "org.freedesktop.DBus.Error.UnknownProperty");

  // Withdrawing the icon takes its name off the bus, which is what tells the host.
  EXPECT_TRUE(HasOwner(*notifier, watcher, service));
  EXPECT_TRUE(notifier->Delete(kOwner, kId));
  EXPECT_FALSE(notifier->Delete(kOwner, kId));
  EXPECT_TRUE(PumpUntil(*notifier, [&] { return !HasOwner(*notifier, watcher, service); }));
}

TEST_F(StatusNotifierTest, ChangesOfImageOrTipAreSignalled) {
  TFakeWatcher watcher(FBus.Address());
  auto notifier = OpenNotifier();
  ASSERT_NE(notifier, nullptr);
  notifier->Add(Icon(), false);
  ASSERT_TRUE(PumpUntil(*notifier, [&] { return notifier->Shown(kOwner, kId); }));

  platform::TrayIcon icon = Icon();
  EXPECT_TRUE(notifier->Modify(icon));
  icon.tip = "Outro";
  EXPECT_TRUE(notifier->Modify(icon));
  ASSERT_TRUE(PumpUntil(*notifier, [&] { return watcher.Signals().size() >= 2; }));
  icon.image.At(0, 0) = 0xFFFFFFFF;
  EXPECT_TRUE(notifier->Modify(icon));
  ASSERT_TRUE(PumpUntil(*notifier, [&] { return watcher.Signals().size() >= 3; }));
  EXPECT_EQ(watcher.Signals(), (std::vector<std::string>{"NewTitle", "NewToolTip", "NewIcon"}))
      << "an unchanged icon signals nothing";
  EXPECT_EQ(Get(*notifier, watcher, notifier->ServiceOf(kOwner, kId), "Title").text, "Outro");
  icon.id = kId + 1;
  EXPECT_FALSE(notifier->Modify(icon)) << "an icon never added";
}

TEST_F(StatusNotifierTest, HostCallsBecomeTheShellsClicksAndNothingElse) {
  TFakeWatcher watcher(FBus.Address());
  auto notifier = OpenNotifier();
  ASSERT_NE(notifier, nullptr);
  notifier->Add(Icon(), false);
  ASSERT_TRUE(PumpUntil(*notifier, [&] { return notifier->Shown(kOwner, kId); }));
  const std::string service = notifier->ServiceOf(kOwner, kId);

  // The open gesture is a double click, with the pointer where the host says.
  EXPECT_EQ(Call(*notifier, watcher, service, "Activate", 10, 20), "");
  EXPECT_EQ(MouseMessages(), (std::vector<LPARAM>{0x200, 0x201, 0x202, 0x203, 0x202}));
  ASSERT_EQ(FPointedAt.size(), 1u);
  EXPECT_EQ(FPointedAt[0].x, 10);
  EXPECT_EQ(FPointedAt[0].y, 20);

  // The context menu is a right click; nonsense coordinates land inside the screen.
  FPosted.clear();
  EXPECT_EQ(Call(*notifier, watcher, service, "ContextMenu", -50, 1 << 30), "");
  EXPECT_EQ(MouseMessages(), (std::vector<LPARAM>{0x200, 0x204, 0x205}));
  EXPECT_EQ(FPointedAt.back().x, 0);
  EXPECT_EQ(FPointedAt.back().y, 767);

  FPosted.clear();
  EXPECT_EQ(Call(*notifier, watcher, service, "SecondaryActivate", 5, 5), "");
  EXPECT_EQ(MouseMessages(), (std::vector<LPARAM>{0x200, 0x207, 0x208}));

  // Scrolling is answered and does nothing; what the item does not know is refused.
  FPosted.clear();
  EXPECT_EQ(Await(*notifier, watcher.Run<int>([&](sd_bus* bus) {
              return sd_bus_call_method(bus, service.c_str(), kPath, kInterface, "Scroll", nullptr,
                                        nullptr, "is", 3, "vertical");
            })),
            1);
  EXPECT_EQ(Call(*notifier, watcher, service, "Quit", 0, 0),
            "org.freedesktop.DBus.Error.UnknownMethod");
  EXPECT_EQ(Call(*notifier, watcher, service, "Activate", 0, 0, true),
            "org.freedesktop.DBus.Error.InvalidArgs");
  EXPECT_TRUE(FPosted.empty());
}

TEST_F(StatusNotifierTest, FollowsAWatcherThatGoesAndComesBack) {
  auto notifier = OpenNotifier();
  ASSERT_NE(notifier, nullptr);
  ASSERT_TRUE(
      PumpUntil(*notifier, [&] { return notifier->Watcher() != TStatusNotifier::wsAsking; }));
  EXPECT_EQ(notifier->Watcher(), TStatusNotifier::wsAbsent);
  EXPECT_FALSE(notifier->Add(Icon(), true)) << "no watcher: nothing to wait for";
  EXPECT_FALSE(notifier->Shown(kOwner, kId));

  std::string service = notifier->ServiceOf(kOwner, kId);
  {
    TFakeWatcher first(FBus.Address());
    ASSERT_TRUE(PumpUntil(*notifier, [&] { return notifier->Shown(kOwner, kId); }))
        << "a watcher that starts later takes the icon";
    EXPECT_EQ(first.Registered(), std::vector<std::string>{service});
  }
  ASSERT_TRUE(PumpUntil(*notifier, [&] { return !notifier->Shown(kOwner, kId); }));
  EXPECT_EQ(notifier->Watcher(), TStatusNotifier::wsAbsent);

  TFakeWatcher restarted(FBus.Address());
  ASSERT_TRUE(PumpUntil(*notifier, [&] { return notifier->Shown(kOwner, kId); }))
      << "a restarted panel takes the icon again";
  EXPECT_EQ(restarted.Registered(), std::vector<std::string>{service});
  EXPECT_EQ(FShownChanges, (std::vector<bool>{true, false, true}));
}

TEST_F(StatusNotifierTest, ABusThatClosesDropsTheIconsAndNoBusOpensNothing) {
  {
    TFakeWatcher watcher(FBus.Address());
    auto notifier = OpenNotifier();
    ASSERT_NE(notifier, nullptr);
    notifier->Add(Icon(), false);
    ASSERT_TRUE(PumpUntil(*notifier, [&] { return notifier->Shown(kOwner, kId); }));
    FBus.Stop();
    ASSERT_TRUE(PumpUntil(*notifier, [&] { return !notifier->Connected(); }));
    EXPECT_FALSE(notifier->Shown(kOwner, kId));
    EXPECT_EQ(FShownChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(notifier->Fd(), -1);
    EXPECT_EQ(notifier->TimeoutMs(), -1);
    platform::TrayIcon other = Icon();
    other.id = kId + 1;
    EXPECT_FALSE(notifier->Add(other, true));
    EXPECT_TRUE(notifier->Modify(Icon())) << "the icon is still the program's";
    EXPECT_TRUE(notifier->Delete(kOwner, kId));
  }
  EXPECT_EQ(TStatusNotifier::Open(FHooks, "unix:path=/nonexistent/bus"), nullptr);
}

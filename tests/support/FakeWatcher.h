// A private session bus (dbus-daemon started by the test) and a StatusNotifierWatcher on it that
// plays the desktop's panel: it takes registrations and calls the items as a host would. The
// watcher runs its own loop on a thread of the test, so that the code under test can answer its
// calls on the test's thread. For the tests of notification-area icons on the bus.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace calvix_test {

// dbus-daemon --session on a socket of its own; ended by its process id.
class TPrivateBus {
 public:
  TPrivateBus() {
    int out[2];
    if (pipe(out) != 0) return;
    FPid = fork();
    if (FPid == 0) {
      dup2(out[1], 1);
      // Its complaints about limits it may not raise say nothing about the test.
      const int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 2);
      close(out[0]);
      close(out[1]);
      execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--print-address=1",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    // The daemon prints its address once it listens.
    FILE* from = fdopen(out[0], "r");
    char line[512] = {};
    if (from != nullptr && std::fgets(line, sizeof line, from) != nullptr) {
      FAddress = line;
      while (!FAddress.empty() && FAddress.back() == '\n')
        FAddress.pop_back();
    }
    if (from != nullptr) fclose(from);
  }
  ~TPrivateBus() { Stop(); }
  TPrivateBus(const TPrivateBus&) = delete;
  TPrivateBus& operator=(const TPrivateBus&) = delete;

  const std::string& Address() const { return FAddress; }
  bool Started() const { return !FAddress.empty(); }
  void Stop() {
    if (FPid <= 0) return;
    kill(FPid, SIGTERM);
    waitpid(FPid, nullptr, 0);
    FPid = -1;
  }

 private:
  pid_t FPid = -1;
  std::string FAddress;
};

class TFakeWatcher {
 public:
  static constexpr const char* kName = "org.kde.StatusNotifierWatcher";

  // Connects to `address` and takes the watcher's name; Ready() tells whether that worked.
  explicit TFakeWatcher(const std::string& address) {
    FWake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0) return;
    sd_bus_set_address(bus, address.c_str());
    sd_bus_set_bus_client(bus, 1);
    if (sd_bus_start(bus) < 0) {
      sd_bus_unref(bus);
      return;
    }
    FBus = bus;
    sd_bus_add_object_vtable(FBus, nullptr, "/StatusNotifierWatcher", kName, kVtable, this);
    sd_bus_add_match(FBus, nullptr, "type='signal',interface='org.kde.StatusNotifierItem'",
                     OnItemSignal, this);
    FReady = sd_bus_request_name(FBus, kName, 0) >= 0;
    FThread = std::thread([this] { Loop(); });
  }
  ~TFakeWatcher() {
    FStop = true;
    Wake();
    if (FThread.joinable()) FThread.join();
    if (FBus != nullptr) sd_bus_flush_close_unref(FBus);
    close(FWake);
  }
  TFakeWatcher(const TFakeWatcher&) = delete;
  TFakeWatcher& operator=(const TFakeWatcher&) = delete;

  bool Ready() const { return FReady; }

  // The services registered so far, in order.
  std::vector<std::string> Registered() const {
    std::lock_guard<std::mutex> lock(FMutex);
    return FRegistered;
  }
  // The names of the item signals heard so far, in order.
  std::vector<std::string> Signals() const {
    std::lock_guard<std::mutex> lock(FMutex);
    return FSignals;
  }

  // Runs `task` with the watcher's connection on its thread; the caller keeps its own loop
  // running until the future is ready.
  template <typename T>
  std::future<T> Run(std::function<T(sd_bus*)> task) {
    auto promise = std::make_shared<std::promise<T>>();
    std::future<T> result = promise->get_future();
    {
      std::lock_guard<std::mutex> lock(FMutex);
      FTasks.push_back([promise, task](sd_bus* bus) { promise->set_value(task(bus)); });
    }
    Wake();
    return result;
  }

 private:
  static int OnRegister(sd_bus_message* call, void* self, sd_bus_error*) {
    const char* service = nullptr;
    if (sd_bus_message_read(call, "s", &service) < 0) return -EINVAL;
    auto* watcher = static_cast<TFakeWatcher*>(self);
    {
      std::lock_guard<std::mutex> lock(watcher->FMutex);
      watcher->FRegistered.push_back(service);
    }
    return sd_bus_reply_method_return(call, "");
  }
  static int OnItemSignal(sd_bus_message* signal, void* self, sd_bus_error*) {
    auto* watcher = static_cast<TFakeWatcher*>(self);
    std::lock_guard<std::mutex> lock(watcher->FMutex);
    watcher->FSignals.push_back(sd_bus_message_get_member(signal));
    return 0;
  }

  void Wake() {
    const uint64_t one = 1;
    (void)!write(FWake, &one, sizeof one);
  }

  void Loop() {
    while (!FStop) {
      while (sd_bus_process(FBus, nullptr) > 0) {
      }
      std::vector<std::function<void(sd_bus*)>> tasks;
      {
        std::lock_guard<std::mutex> lock(FMutex);
        tasks.swap(FTasks);
      }
      for (auto& task : tasks)
        task(FBus);
      if (!tasks.empty()) continue;
      pollfd fds[2] = {{sd_bus_get_fd(FBus), short(sd_bus_get_events(FBus)), 0},
                       {FWake, POLLIN, 0}};
      poll(fds, 2, -1);
      uint64_t count = 0;
      (void)!read(FWake, &count, sizeof count);
    }
  }

  static constexpr sd_bus_vtable kVtable[] = {
      SD_BUS_VTABLE_START(0), SD_BUS_METHOD("RegisterStatusNotifierItem", "s", "", OnRegister, 0),
      SD_BUS_VTABLE_END};

  sd_bus* FBus = nullptr;
  bool FReady = false;
  int FWake = -1;
  std::atomic<bool> FStop{false};
  std::thread FThread;
  mutable std::mutex FMutex;
  std::vector<std::string> FRegistered;
  std::vector<std::string> FSignals;
  std::vector<std::function<void(sd_bus*)>> FTasks;
};

}  // namespace calvix_test

// The core's one state object and the driver in use: the one a test or the program installed,
// else the one SelectDriver (platform/DriverSelection.cpp) chooses at first use. Part of the
// portable core.
#include "platform/core/Core.h"
#include "platform/core/DriverSink.h"

namespace platform {
namespace core {

TState& State() {
  static TState state;
  return state;
}

void ResetState() {
  TState& st = State();
  TState fresh;
  fresh.driver = std::move(st.driver);
  st = std::move(fresh);
}

Driver& TheDriver() {
  return CurrentDriver();
}

}  // namespace core

Driver& CurrentDriver() {
  core::TState& st = core::State();
  if (!st.driver) st.driver = SelectDriver();
  return *st.driver;
}

void InstallDriver(std::unique_ptr<Driver> driver) {
  core::TState& st = core::State();
  st.driver = std::move(driver);
  st.foreignHandles.clear();
  st.pictureKept = false;
  st.trayIcons.clear();
  st.clockStarted = false;
}

}  // namespace platform

void platform::sink::ResetCore() {
  platform::core::ResetState();
}

bool platform::sink::QuitPending() {
  return platform::core::State().quitPending;
}

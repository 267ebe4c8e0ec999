// The core's one state object and the choice of driver: x11 when a display can be opened,
// headless otherwise, unless a test or the program installed one. Part of the portable core.
#include "platform/core/Core.h"
#include "platform/headless/HeadlessDriver.h"

#if defined(CALVIX_HAVE_X11) && __has_include("platform/x11/X11Driver.h")
#include "platform/x11/X11Driver.h"
#define CALVIX_SELECT_X11 1
#endif

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
  if (!st.driver) {
#ifdef CALVIX_SELECT_X11
    st.driver = CreateX11Driver();
#endif
    if (!st.driver) st.driver = CreateHeadlessDriver();
  }
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

// The choice of driver at first use: x11 when a display can be opened, headless otherwise.
// The one file of the platform that knows every driver, so that the core knows none of them.
#include "platform/Driver.h"
#include "platform/headless/HeadlessDriver.h"

#if defined(CALVIX_HAVE_X11) && __has_include("platform/x11/X11Driver.h")
#include "platform/x11/X11Driver.h"
#define CALVIX_SELECT_X11 1
#endif

namespace platform {

std::unique_ptr<Driver> SelectDriver() {
#ifdef CALVIX_SELECT_X11
  if (auto x11 = CreateX11Driver()) return x11;
#endif
  return CreateHeadlessDriver();
}

}  // namespace platform

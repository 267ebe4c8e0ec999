// The session-bus library, opened at first use. Internal to platform/x11.
#include "platform/x11/SdBus.h"

#include <dlfcn.h>

namespace platform::x11 {

namespace {

const TSdBus* Open() {
  // The library stays for the life of the process, as a linked one would.
  void* library = dlopen("libsystemd.so.0", RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return nullptr;
  static TSdBus functions;
  bool complete = true;
#define CALVIX_SD_BUS_FIND(name)                                               \
  functions.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name)); \
  complete = complete && functions.name != nullptr;
  CALVIX_SD_BUS_FUNCTIONS(CALVIX_SD_BUS_FIND)
#undef CALVIX_SD_BUS_FIND
  functions.sd_bus_object_vtable_format =
      static_cast<const unsigned*>(dlsym(library, "sd_bus_object_vtable_format"));
  complete = complete && functions.sd_bus_object_vtable_format != nullptr;
  return complete ? &functions : nullptr;
}

}  // namespace

const TSdBus* OpenSdBus() {
  static const TSdBus* const functions = Open();
  return functions;
}

}  // namespace platform::x11

// The session-bus library (sd-bus of libsystemd), opened when the notification area first
// needs a bus: a session without one never maps it and the six libraries it brings. Internal
// to platform/x11.
#pragma once

#include <systemd/sd-bus.h>

namespace platform::x11 {

// Every function of sd-bus the platform calls.
// clang-format off
#define CALVIX_SD_BUS_FUNCTIONS(F) \
  F(sd_bus_open_user) \
  F(sd_bus_new) \
  F(sd_bus_set_address) \
  F(sd_bus_set_bus_client) \
  F(sd_bus_start) \
  F(sd_bus_unref) \
  F(sd_bus_close_unref) \
  F(sd_bus_process) \
  F(sd_bus_get_fd) \
  F(sd_bus_get_events) \
  F(sd_bus_get_timeout) \
  F(sd_bus_get_current_message) \
  F(sd_bus_add_object_vtable) \
  F(sd_bus_add_match_async) \
  F(sd_bus_call_method_async) \
  F(sd_bus_request_name_async) \
  F(sd_bus_release_name_async) \
  F(sd_bus_emit_signal) \
  F(sd_bus_slot_unref) \
  F(sd_bus_reply_method_return) \
  F(sd_bus_error_set) \
  F(sd_bus_message_append) \
  F(sd_bus_message_append_array) \
  F(sd_bus_message_open_container) \
  F(sd_bus_message_close_container) \
  F(sd_bus_message_read) \
  F(sd_bus_message_is_method_error) \
  F(sd_bus_message_get_member) \
  F(sd_bus_message_get_destination)
// clang-format on

struct TSdBus {
#define CALVIX_SD_BUS_POINTER(name) decltype(&::name) name = nullptr;
  CALVIX_SD_BUS_FUNCTIONS(CALVIX_SD_BUS_POINTER)
#undef CALVIX_SD_BUS_POINTER
  // What the start of an object's table refers to, to tell its layout.
  const unsigned* sd_bus_object_vtable_format = nullptr;
};

// The library's functions, opened on the first call; nullptr when libsystemd or one of them
// is missing, and the platform then goes without the bus.
const TSdBus* OpenSdBus();

// The functions, once OpenSdBus has found them.
inline const TSdBus& SdBus() {
  return *OpenSdBus();
}

// The start of an object's table as SD_BUS_VTABLE_START makes it, but without its reference to
// the library's format, which a program linked with the library has the linker fill in:
// StartVtable fills it once the library is open.
#define CALVIX_SD_BUS_VTABLE_START                      \
  {                                                     \
    .type = _SD_BUS_VTABLE_START, .flags = 0, .x = {    \
      .start = {.element_size = sizeof(sd_bus_vtable),  \
                .features = _SD_BUS_VTABLE_PARAM_NAMES, \
                .vtable_format_reference = nullptr}     \
    }                                                   \
  }

// Gives a table that starts with CALVIX_SD_BUS_VTABLE_START its reference; the library is open.
inline void StartVtable(sd_bus_vtable* table) {
  table[0].x.start.vtable_format_reference = SdBus().sd_bus_object_vtable_format;
}

}  // namespace platform::x11

// The name the X11 driver gives the running program where the desktop asks for one: the
// instance part of every window's class hint and the identity of its StatusNotifierItem.
// Internal to platform/x11.
#pragma once

#include <string>

namespace platform::x11 {

// The stem of a program file's name in Windows form ("Z:\opt\calvix\MorCalvix.exe" gives
// "MorCalvix"): the last component without its extension. A name that starts with its only dot
// keeps it whole.
std::string ProgramNameFromPath(const std::string& windowsPath);

// The running program's name: the stem of its own file (GetModuleFileNameA), else the name it
// was started by.
std::string ProgramName();

}  // namespace platform::x11

// The running program's name as the X11 driver shows it to the desktop, taken from the
// program's own file. Part of the X11 driver.
#include "platform/x11/X11ProgramName.h"

#include <errno.h>

#include "platform/win32.h"

namespace platform::x11 {

std::string ProgramNameFromPath(const std::string& windowsPath) {
  const size_t slash = windowsPath.find_last_of("\\/");
  std::string name = slash == std::string::npos ? windowsPath : windowsPath.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::string ProgramName() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length > 0 && length < sizeof path) {
    const std::string name = ProgramNameFromPath(std::string(path, length));
    if (!name.empty()) return name;
  }
  return program_invocation_short_name;
}

}  // namespace platform::x11

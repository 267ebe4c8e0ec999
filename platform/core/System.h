// The system facts behind GetComputerNameA, GetUserNameA, GetVersionExA and the current
// directory, with the places where a test puts answers of its own. Layer: platform core.
#pragma once

#include <optional>
#include <string>

#include "platform/win32/kernel.h"

namespace platform {

// Answers that replace the system's own while set (see platform/headless/headless.h).
struct SystemFactOverrides {
  std::optional<std::string> currentDirectory;  // exactly as GetCurrentDirectoryA presents it
  std::optional<std::string> computerName;
  std::optional<std::string> userName;
  std::optional<OSVERSIONINFOA> version;  // dwOSVersionInfoSize is ignored
  bool versionFails = false;
};

SystemFactOverrides& SystemOverrides();

// --- The system's own answers (Windows-1252) ---
std::string SystemComputerName();
std::string SystemUserName();
// The account's full name (the first field of its comment), or the login name without one.
std::string SystemUserFullName();
// The distribution's name from os-release, or the kernel's name.
std::string SystemProductName();
OSVERSIONINFOA SystemVersion();

// --- Win32 buffer rules shared by the text-returning functions ---
// Copies `text` with its terminator when it fits in `size` bytes and returns its length; else
// writes nothing and returns the size needed, terminator included.
DWORD CopyTextOrNeeded(const std::string& text, char* buffer, DWORD size);

}  // namespace platform

// The one mapping between the Windows-style names the layer presents ("Z:\home\ana") and the
// Unix paths of the file system. Every file function of the platform goes through it.
// Layer: platform core.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/types.h"

namespace platform {

// The Unix path (UTF-8) that a Windows-1252 name stands for. "Z:\..." and "Z:/..." are
// absolute, as are names that start at the root of the current drive ("\usr", "/usr"); other
// names are relative to the process's current directory. "." and ".." are resolved as Windows
// resolves them, never above the root. Names that cannot exist here (empty, another drive
// letter, UNC and device names) give nothing.
std::optional<std::string> UnixPathFromWindows(std::string_view windowsPath);

// The Windows-1252 name presented for a Unix path: "/" is "Z:\", "/home/ana" is
// "Z:\home\ana"; a relative path only has its separators turned.
std::string WindowsPathFromUnix(std::string_view unixPath);

// The Win32 error for a file that could not be reached (`error` is the errno): a missing
// file in an existing folder is ERROR_FILE_NOT_FOUND, a missing folder ERROR_PATH_NOT_FOUND.
DWORD FileErrorCode(int error, const std::string& unixPath);

// The process's current directory as a Unix path, or "/" when it cannot be read.
std::string UnixCurrentDirectory();

// The whole content of the file at a Unix path; false when it cannot be read. Read with the
// system's own calls: the C++ file streams would set up their locale machinery for it, which
// costs a small program's start-up time and a few hundred kilobytes for good.
bool ReadUnixFile(const std::string& unixPath, std::string& out);

// The user's folder for what a program may rebuild at will (XDG_CACHE_HOME, else ~/.cache), as
// a Unix path; empty when the environment names neither.
std::string UserCacheFolder();

}  // namespace platform

// The program's own module and resource directory, and the resources of other program files.
// Layer: platform core.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/core/ResourceDirectory.h"
#include "platform/win32/kernel.h"

namespace platform {

// The program's instance: the address of its ELF image, as a Windows instance is the address
// of its executable image.
HMODULE OwnModule();

// The Unix path of the program's file.
std::string OwnFileUnixPath();

// The resource directory the program was linked with (empty when it has none).
const ResourceDirectory& OwnResources();

// True for NULL and for the program's own instance: the modules whose resources exist.
bool IsOwnModule(HMODULE module);

// The bytes of the version resource (RT_VERSION, VS_VERSION_INFO) of the named file, or
// nothing with the Win32 error code in `error`.
std::optional<std::vector<uint8_t>> VersionResourceOfFile(LPCSTR windowsName, DWORD& error);

}  // namespace platform

// The program's own module and resource directory, and the resources of other program files.
// Layer: platform core.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/core/ImageFile.h"
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

// The image of the icon group `name` (RT_GROUP_ICON) in the program's resources whose size
// comes closest to cx by cy, decoded; false when the group or its image is missing or damaged.
bool IconFromResources(LPCSTR name, int cx, int cy, image::TIconImage& out);

// The bitmap resource `name` (RT_BITMAP, a packed DIB) of the program, decoded.
bool BitmapFromResources(LPCSTR name, image::TBitmapFile& out);

// The bytes of the version resource (RT_VERSION, VS_VERSION_INFO) of the named file, or
// nothing with the Win32 error code in `error`.
std::optional<std::vector<uint8_t>> VersionResourceOfFile(LPCSTR windowsName, DWORD& error);

}  // namespace platform

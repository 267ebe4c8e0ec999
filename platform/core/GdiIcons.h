// Icons inside the platform: making them from decoded images and reading their pixels back
// for the notification area. Internal to platform/.
#pragma once

#include "platform/core/ImageFile.h"
#include "platform/core/Surface.h"
#include "platform/win32/gdi.h"

namespace platform::gdi {

// A new icon of the decoded image, stretched to cx by cy when they are not 0.
HICON MakeIcon(const image::TIconImage& image, int cx, int cy);

// The icon drawn at cx by cy (0: its own size) as 0xAARRGGBB pixels: alpha 0xFF where the
// icon covers and 0 where its mask lets the background show. False for a bad handle.
bool IconPixels(HICON icon, int cx, int cy, Surface& out);

}  // namespace platform::gdi

// Device contexts, bitmaps, raster operations, shapes and text (gdi32).
#pragma once

#include "platform/win32/types.h"

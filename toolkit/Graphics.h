// Graphics over the platform's GDI: fonts, pens, brushes, canvases, bitmaps, icons and pictures.
// Toolkit layer; every GDI handle made here has one owner that releases it. Each concern has a
// file pair of its own; this header gathers them for the code that draws.
#pragma once

#include "toolkit/Bitmaps.h"
#include "toolkit/Canvas.h"
#include "toolkit/GraphicsObjects.h"
#include "toolkit/Pictures.h"

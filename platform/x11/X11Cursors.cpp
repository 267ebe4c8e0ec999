// The pointer's shapes on X: theme cursors by their usual names, font cursors as fallback.
// Internal to platform/x11.
#include "platform/x11/X11Cursors.h"

#include <X11/cursorfont.h>

#include <array>

#ifdef CALVIX_HAVE_XCURSOR
#include <X11/Xcursor/Xcursor.h>
#endif
#ifdef CALVIX_HAVE_XFIXES
#include <X11/extensions/Xfixes.h>
#endif

namespace platform::x11 {
namespace {

// The names a cursor theme gives each shape, the classic X name first (every theme has it),
// then the newer CSS-like names, and the core font's glyph for a desktop without themes.
struct TShapeNames {
  PointerShape shape;
  std::array<const char*, 3> names;
  unsigned int glyph;
};

constexpr std::array<TShapeNames, 14> kShapes = {{
    {PointerShape::psArrow, {"left_ptr", "default", "arrow"}, XC_left_ptr},
    {PointerShape::psIBeam, {"xterm", "text", "ibeam"}, XC_xterm},
    {PointerShape::psWait, {"watch", "wait", nullptr}, XC_watch},
    {PointerShape::psCross, {"crosshair", "cross", nullptr}, XC_crosshair},
    {PointerShape::psUpArrow, {"sb_up_arrow", "up-arrow", nullptr}, XC_sb_up_arrow},
    {PointerShape::psSizeNWSE,
     {"bottom_right_corner", "nwse-resize", "size_fdiag"},
     XC_bottom_right_corner},
    {PointerShape::psSizeNESW,
     {"bottom_left_corner", "nesw-resize", "size_bdiag"},
     XC_bottom_left_corner},
    {PointerShape::psSizeWE, {"sb_h_double_arrow", "ew-resize", "size_hor"}, XC_sb_h_double_arrow},
    {PointerShape::psSizeNS, {"sb_v_double_arrow", "ns-resize", "size_ver"}, XC_sb_v_double_arrow},
    {PointerShape::psSizeAll, {"fleur", "move", "size_all"}, XC_fleur},
    {PointerShape::psNo, {"crossed_circle", "not-allowed", "forbidden"}, XC_X_cursor},
    {PointerShape::psHand, {"hand2", "pointer", "pointing_hand"}, XC_hand2},
    {PointerShape::psAppStarting, {"left_ptr_watch", "progress", nullptr}, XC_watch},
    {PointerShape::psHelp, {"question_arrow", "help", "whats_this"}, XC_question_arrow},
}};

}  // namespace

TX11Cursors::~TX11Cursors() {
  for (const auto& [shape, cursor] : FCursors)
    XFreeCursor(FDisplay, cursor);
}

Cursor TX11Cursors::For(PointerShape shape) {
  const auto found = FCursors.find(shape);
  if (found != FCursors.end()) return found->second;
  const Cursor cursor = shape == PointerShape::psNone ? Blank() : Load(shape);
  if (cursor != None) FCursors[shape] = cursor;
  return cursor;
}

Cursor TX11Cursors::Load(PointerShape shape) {
  const TShapeNames* entry = &kShapes[0];
  for (const TShapeNames& s : kShapes)
    if (s.shape == shape) entry = &s;
  Cursor cursor = None;
#ifdef CALVIX_HAVE_XCURSOR
  for (const char* name : entry->names)
    if (name != nullptr && cursor == None) cursor = XcursorLibraryLoadCursor(FDisplay, name);
#endif
  if (cursor == None) cursor = XCreateFontCursor(FDisplay, entry->glyph);
#ifdef CALVIX_HAVE_XFIXES
  // Named by its classic name, so that tools that read the pointer (magnifiers, screen
  // recorders) know the shape whatever theme drew it.
  int event = 0, error = 0;
  if (cursor != None && XFixesQueryExtension(FDisplay, &event, &error))
    XFixesSetCursorName(FDisplay, cursor, entry->names[0]);
#endif
  return cursor;
}

// A cursor of one transparent pixel.
Cursor TX11Cursors::Blank() {
  const char nothing = 0;
  const Pixmap empty = XCreateBitmapFromData(FDisplay, DefaultRootWindow(FDisplay), &nothing, 1, 1);
  XColor black{};
  const Cursor cursor = XCreatePixmapCursor(FDisplay, empty, empty, &black, &black, 0, 0);
  XFreePixmap(FDisplay, empty);
  return cursor;
}

}  // namespace platform::x11

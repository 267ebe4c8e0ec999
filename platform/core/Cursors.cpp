// Pointer shapes: the shared system cursors, SetCursor, and WM_SETCURSOR with its default
// handling. The shape itself is drawn by the desktop, so the core only tells the driver which
// system shape the pointer takes over which window. Part of the platform's portable core.
#include <array>

#include "platform/core/Core.h"
#include "platform/core/GdiObjects.h"

namespace platform::core {
namespace {

struct TSystemCursor {
  WORD id;
  PointerShape shape;
};

constexpr std::array<TSystemCursor, 14> kSystemCursors = {{
    {32512, PointerShape::psArrow},
    {32513, PointerShape::psIBeam},
    {32514, PointerShape::psWait},
    {32515, PointerShape::psCross},
    {32516, PointerShape::psUpArrow},
    {32642, PointerShape::psSizeNWSE},
    {32643, PointerShape::psSizeNESW},
    {32644, PointerShape::psSizeWE},
    {32645, PointerShape::psSizeNS},
    {32646, PointerShape::psSizeAll},
    {32648, PointerShape::psNo},
    {32649, PointerShape::psHand},
    {32650, PointerShape::psAppStarting},
    {32651, PointerShape::psHelp},
}};

// The side of the pictureless stand-in a system cursor has in the handle table, the size
// GetSystemMetrics gives cursors on Windows.
constexpr int kCursorSide = 32;

gdi::TIcon* FindCursor(HCURSOR cursor) {
  gdi::TObject* object = gdi::FindObject(cursor);
  return object && object->type == gdi::kObjIcon ? static_cast<gdi::TIcon*>(object) : nullptr;
}

// The shared handle of a system cursor, made on first use. Its picture is transparent: the
// desktop draws the real one.
HCURSOR SystemCursor(WORD id) {
  static std::array<HCURSOR, kSystemCursors.size()> handles{};
  for (size_t i = 0; i < kSystemCursors.size(); ++i) {
    if (kSystemCursors[i].id != id) continue;
    if (!handles[i]) {
      auto cursor = std::make_unique<gdi::TIcon>();
      cursor->type = gdi::kObjIcon;
      cursor->stock = true;
      cursor->icon = false;
      cursor->systemCursor = id;
      cursor->color = Surface(kCursorSide, kCursorSide, 0);
      cursor->mask = Surface(kCursorSide, kCursorSide, 0xFFFFFF);
      handles[i] = static_cast<HCURSOR>(gdi::AddObject(std::move(cursor)));
    }
    return handles[i];
  }
  return nullptr;
}

PointerShape ShapeOf(HCURSOR cursor) {
  if (!cursor) return PointerShape::psNone;
  const gdi::TIcon* found = FindCursor(cursor);
  for (const TSystemCursor& c : kSystemCursors)
    if (found && found->systemCursor == c.id) return c.shape;
  return PointerShape::psArrow;
}

// Tells the driver the shape of the pointer in the window it is over, when either changed.
void ShowPointerShape() {
  TState& st = State();
  if (!FindOwn(st.pointerWindow)) return;
  const PointerShape shape = ShapeOf(st.cursor);
  if (st.shapedWindow == st.pointerWindow && st.shownShape == shape) return;
  st.shapedWindow = st.pointerWindow;
  st.shownShape = shape;
  TheDriver().SetPointerShape(st.pointerWindow, shape);
}

bool IsMouseMessage(UINT message) {
  return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEWHEEL;
}

// The shape DefWindowProcA gives a place outside the client area.
LPCSTR FrameCursor(int hitTest) {
  switch (hitTest) {
    case HTLEFT:
    case HTRIGHT:
      return IDC_SIZEWE;
    case HTTOP:
    case HTBOTTOM:
      return IDC_SIZENS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
      return IDC_SIZENWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
      return IDC_SIZENESW;
    default:
      return IDC_ARROW;
  }
}

}  // namespace

void SetCursorForInput(const MSG& msg) {
  TState& st = State();
  if (!IsMouseMessage(msg.message) || FindOwn(st.capture)) return;
  TWindow* w = FindOwn(msg.hwnd);
  if (!w) return;
  const HWND hwnd = w->handle;
  CallProc(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, msg.message));
  if (TWindow* still = FindOwn(hwnd)) {
    st.pointerWindow = Root(still)->handle;
    ShowPointerShape();
  }
}

LRESULT DefaultSetCursor(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  const int hitTest = static_cast<SHORT>(LOWORD(lParam));
  TWindow* w = FindOwn(hwnd);
  // A child lets its parent choose first, except on the sizing border.
  if (w && (w->style & WS_CHILD) && (hitTest < HTSIZEFIRST || hitTest > HTSIZELAST)) {
    TWindow* parent = FindOwn(w->parent);
    if (parent && parent != &Desktop() &&
        CallProc(parent->handle, WM_SETCURSOR, wParam, lParam) != FALSE)
      return TRUE;
  }
  if (hitTest == HTCLIENT) {
    TWindow* pointed = FindOwn(reinterpret_cast<HWND>(wParam));
    if (pointed && pointed->cls && pointed->cls->info.hCursor)
      SetCursor(pointed->cls->info.hCursor);
  } else {
    SetCursor(LoadCursorA(nullptr, FrameCursor(hitTest)));
  }
  return FALSE;
}

}  // namespace platform::core

using namespace platform;
using namespace platform::core;

extern "C" HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
  HCURSOR cursor = nullptr;
  if (!hInstance && IS_INTRESOURCE(lpCursorName))
    cursor = SystemCursor(WORD(reinterpret_cast<ULONG_PTR>(lpCursorName)));
  if (!cursor) SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
  return cursor;
}

extern "C" HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
  TState& st = State();
  const HCURSOR previous = st.cursor;
  st.cursor = hCursor;
  ShowPointerShape();
  return previous;
}

extern "C" HCURSOR WINAPI GetCursor() {
  return State().cursor;
}

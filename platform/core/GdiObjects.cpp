// The GDI handle table, stock objects, pens, brushes, regions and device contexts with their
// attributes, and the resolution of a DC into pixels. Internal to platform/ (portable core).
#include "platform/core/GdiObjects.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "platform/core/GdiWindow.h"
#include "platform/win32.h"

namespace platform::gdi {
namespace {

// Handles are never reused, so that a stale handle finds nothing instead of another object.
constexpr uintptr_t kFirstHandle = 0x10000;
constexpr uintptr_t kHandleStep = 4;
constexpr int kScreenDpi = 96;
constexpr int kStockCount = DEFAULT_GUI_FONT + 1;

struct TTable {
  std::unordered_map<uintptr_t, std::unique_ptr<TObject>> objects;
  uintptr_t next = kFirstHandle;
  HGDIOBJ stock[kStockCount] = {};
  HGDIOBJ defaultBitmap = nullptr;
};

TTable& Table() {
  static TTable table;
  return table;
}

template <class T>
HGDIOBJ AddStock(std::unique_ptr<T> object) {
  object->stock = true;
  return AddObject(std::move(object));
}

HGDIOBJ StockBrush(UINT style, COLORREF color) {
  auto brush = std::make_unique<TBrush>();
  brush->type = OBJ_BRUSH, brush->style = style, brush->color = color;
  return AddStock(std::move(brush));
}

HGDIOBJ StockPen(UINT style, COLORREF color) {
  auto pen = std::make_unique<TPen>();
  pen->type = OBJ_PEN, pen->style = style, pen->color = color;
  return AddStock(std::move(pen));
}

HGDIOBJ StockFont(int height, int weight, BYTE pitch, const char* face) {
  auto font = std::make_unique<TFont>();
  font->type = OBJ_FONT;
  font->log.lfHeight = height;
  font->log.lfWeight = weight;
  font->log.lfPitchAndFamily = pitch;
  std::strncpy(font->log.lfFaceName, face, LF_FACESIZE - 1);
  return AddStock(std::move(font));
}

void MakeStock(TTable& t) {
  t.stock[WHITE_BRUSH] = StockBrush(BS_SOLID, RGB(255, 255, 255));
  t.stock[LTGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(192, 192, 192));
  t.stock[GRAY_BRUSH] = StockBrush(BS_SOLID, RGB(128, 128, 128));
  t.stock[DKGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(64, 64, 64));
  t.stock[BLACK_BRUSH] = StockBrush(BS_SOLID, RGB(0, 0, 0));
  t.stock[NULL_BRUSH] = StockBrush(BS_NULL, 0);
  t.stock[WHITE_PEN] = StockPen(PS_SOLID, RGB(255, 255, 255));
  t.stock[BLACK_PEN] = StockPen(PS_SOLID, RGB(0, 0, 0));
  t.stock[NULL_PEN] = StockPen(PS_NULL, 0);
  t.stock[OEM_FIXED_FONT] = StockFont(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Terminal");
  t.stock[ANSI_FIXED_FONT] = StockFont(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Courier");
  t.stock[ANSI_VAR_FONT] = StockFont(12, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
  t.stock[SYSTEM_FONT] = StockFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "System");
  t.stock[DEVICE_DEFAULT_FONT] = t.stock[SYSTEM_FONT];
  t.stock[SYSTEM_FIXED_FONT] = StockFont(16, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Fixedsys");
  t.stock[DEFAULT_GUI_FONT] = StockFont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Shell Dlg");
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->type = OBJ_BITMAP;
  bitmap->bitsPerPixel = 1;
  bitmap->surface = Surface(1, 1, 0);
  t.defaultBitmap = AddStock(std::move(bitmap));
}

TTable& Stocked() {
  TTable& t = Table();
  if (!t.stock[WHITE_BRUSH]) MakeStock(t);
  return t;
}

TDc* FindDc(HDC hdc) {
  return Find<TDc>(hdc);
}

POINT Offset(const TDcState& s) {
  return {s.viewportOrg.x - s.windowOrg.x, s.viewportOrg.y - s.windowOrg.y};
}

int ClipComplexity(const TDcState& s) {
  if (!s.clipped) return SIMPLEREGION;
  return Empty(s.clip) ? NULLREGION : SIMPLEREGION;
}

// Returns the previous origin and sets a new one.
BOOL SetOrigin(HDC hdc, POINT TDcState::*member, int x, int y, LPPOINT previous, bool add) {
  TDc* dc = FindDc(hdc);
  if (!dc) return FALSE;
  POINT& origin = dc->state.*member;
  if (previous) *previous = origin;
  origin = add ? POINT{origin.x + x, origin.y + y} : POINT{x, y};
  return TRUE;
}

}  // namespace

// --- The handle table ---

HANDLE AddObject(std::unique_ptr<TObject> object) {
  TTable& t = Table();
  const uintptr_t handle = t.next;
  t.next += kHandleStep;
  t.objects.emplace(handle, std::move(object));
  return reinterpret_cast<HANDLE>(handle);
}

TObject* FindObject(HANDLE handle) {
  TTable& t = Table();
  const auto found = t.objects.find(reinterpret_cast<uintptr_t>(handle));
  // An object deleted while selected stays usable until its DC lets it go, as in Win32.
  if (found == t.objects.end()) return nullptr;
  return found->second.get();
}

bool RemoveObject(HANDLE handle) {
  TTable& t = Table();
  const auto found = t.objects.find(reinterpret_cast<uintptr_t>(handle));
  if (found == t.objects.end()) return false;
  if (found->second->stock || found->second->deletePending) return true;
  if (found->second->selections > 0) {
    found->second->deletePending = true;
    return true;
  }
  t.objects.erase(found);
  return true;
}

void Reselect(HGDIOBJ previous, HGDIOBJ next) {
  TTable& t = Table();
  if (next) {
    const auto found = t.objects.find(reinterpret_cast<uintptr_t>(next));
    if (found != t.objects.end()) ++found->second->selections;
  }
  if (!previous) return;
  const auto found = t.objects.find(reinterpret_cast<uintptr_t>(previous));
  if (found == t.objects.end()) return;
  TObject& object = *found->second;
  --object.selections;
  if (auto* bitmap = dynamic_cast<TBitmap*>(&object); bitmap && object.selections == 0)
    bitmap->selectedInto = nullptr;
  if (object.selections <= 0 && object.deletePending) t.objects.erase(found);
}

HDC MakeDc(TDcKind kind, HWND hwnd) {
  TTable& t = Stocked();
  auto dc = std::make_unique<TDc>();
  dc->type = kind == TDcKind::dkMemory ? OBJ_MEMDC : OBJ_DC;
  dc->kind = kind;
  dc->hwnd = hwnd;
  dc->state.pen = t.stock[BLACK_PEN];
  dc->state.brush = t.stock[WHITE_BRUSH];
  dc->state.font = t.stock[SYSTEM_FONT];
  if (kind == TDcKind::dkMemory) dc->state.bitmap = t.defaultBitmap;
  const TDcState state = dc->state;
  HDC hdc = static_cast<HDC>(AddObject(std::move(dc)));
  for (HGDIOBJ object : {state.pen, state.brush, state.font, state.bitmap})
    Reselect(nullptr, object);
  return hdc;
}

void DestroyDc(HDC hdc) {
  TDc* dc = FindDc(hdc);
  if (!dc) return;
  std::vector<HGDIOBJ> held;
  for (const TDcState* s : {&dc->state})
    held.insert(held.end(), {s->pen, s->brush, s->font, s->bitmap});
  for (const TDcState& s : dc->saved)
    held.insert(held.end(), {s.pen, s.brush, s.font, s.bitmap});
  Table().objects.erase(reinterpret_cast<uintptr_t>(hdc));
  for (HGDIOBJ object : held)
    Reselect(object, nullptr);
}

// --- Colours ---

bool NearerWhite(uint32_t pixel) {
  const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  const int toBlack = r * r + g * g + b * b;
  const int toWhite = (255 - r) * (255 - r) + (255 - g) * (255 - g) + (255 - b) * (255 - b);
  return toWhite < toBlack;
}

uint32_t PixelFor(COLORREF color, bool mono) {
  const uint32_t pixel = PixelFromColorRef(color & 0xFFFFFF);
  if (!mono) return pixel;
  return NearerWhite(pixel) ? 0xFFFFFF : 0x000000;
}

// --- Geometry and raster operations ---

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

bool Empty(const RECT& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

RECT Normalised(int left, int top, int right, int bottom) {
  return {std::min(left, right), std::min(top, bottom), std::max(left, right),
          std::max(top, bottom)};
}

uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t dest) {
  const unsigned table = unsigned(rop2 - 1) & 0xF;
  uint32_t result = 0;
  if (table & 1) result |= ~pen & ~dest;
  if (table & 2) result |= ~pen & dest;
  if (table & 4) result |= pen & ~dest;
  if (table & 8) result |= pen & dest;
  return result & 0xFFFFFF;
}

uint32_t ApplyRop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t r = 0;
  if (code & 0x01) r |= ~p & ~s & ~d;
  if (code & 0x02) r |= ~p & ~s & d;
  if (code & 0x04) r |= ~p & s & ~d;
  if (code & 0x08) r |= ~p & s & d;
  if (code & 0x10) r |= p & ~s & ~d;
  if (code & 0x20) r |= p & ~s & d;
  if (code & 0x40) r |= p & s & ~d;
  if (code & 0x80) r |= p & s & d;
  return r & 0xFFFFFF;
}

void FillDevice(TTarget& target, const RECT& area, uint32_t pixel, int rop2) {
  const RECT r = Intersect(area, target.clip);
  for (int y = r.top; y < r.bottom; ++y) {
    uint32_t* row = target.surface->Row(y);
    if (rop2 == R2_COPYPEN) {
      std::fill(row + r.left, row + r.right, pixel);
    } else {
      for (int x = r.left; x < r.right; ++x)
        row[x] = ApplyRop2(rop2, pixel, row[x]);
    }
  }
}

// --- DIB sections ---

void PullSection(TBitmap& bitmap, int top, int bottom) {
  if (bitmap.section)
    image::DecodeRows(bitmap.format, bitmap.bits.get(), bitmap.surface, top, bottom);
}

void PushSection(TBitmap& bitmap, int top, int bottom) {
  if (!bitmap.section) return;
  image::EncodeRows(bitmap.surface, bitmap.format, bitmap.bits.get(), top, bottom);
  // The surface keeps what the bits can hold, so that reading back gives what was stored.
  image::DecodeRows(bitmap.format, bitmap.bits.get(), bitmap.surface, top, bottom);
}

// --- Targets and sources ---

bool OpenTarget(HDC hdc, TTarget& target, const RECT* rows) {
  TDc* dc = FindDc(hdc);
  if (!dc) return false;
  target.dc = dc;
  target.offset = Offset(dc->state);
  if (dc->kind == TDcKind::dkMemory) {
    target.bitmap = Find<TBitmap>(dc->state.bitmap);
    if (!target.bitmap) return false;
    target.surface = &target.bitmap->surface;
    target.mono = target.bitmap->Mono();
  } else if (dc->kind == TDcKind::dkWindow) {
    target.surface = WindowTargetSurface(dc->hwnd);
    if (!target.surface) return false;
  } else {
    target.surface = &target.none;
  }
  target.clip = {0, 0, target.surface->width, target.surface->height};
  if (dc->state.clipped) target.clip = Intersect(target.clip, dc->state.clip);
  if (rows) target.clip = Intersect(target.clip, *rows);
  if (target.bitmap && !Empty(target.clip))
    PullSection(*target.bitmap, target.clip.top, target.clip.bottom);
  return true;
}

void CloseTarget(TTarget& target, const RECT& changed) {
  const RECT r = Intersect(changed, target.clip);
  if (Empty(r)) return;
  if (target.bitmap) PushSection(*target.bitmap, r.top, r.bottom);
  if (target.dc->kind == TDcKind::dkWindow) WindowTargetDamaged(target.dc->hwnd, r);
}

bool OpenSource(HDC hdc, const RECT& area, TSource& source) {
  TDc* dc = FindDc(hdc);
  if (!dc) return false;
  source.dc = dc;
  source.offset = Offset(dc->state);
  if (dc->kind == TDcKind::dkMemory) {
    TBitmap* bitmap = Find<TBitmap>(dc->state.bitmap);
    if (!bitmap) return false;
    source.surface = &bitmap->surface;
    source.mono = bitmap->Mono();
    PullSection(*bitmap, area.top + source.offset.y, area.bottom + source.offset.y);
    return true;
  }
  if (dc->kind == TDcKind::dkWindow) {
    source.surface = WindowTargetSurface(dc->hwnd);
    return source.surface != nullptr;
  }
  const SIZE screen = ScreenExtent();
  RECT device{area.left + source.offset.x, area.top + source.offset.y, area.right + source.offset.x,
              area.bottom + source.offset.y};
  device = Intersect(device, {0, 0, screen.cx, screen.cy});
  source.copy.Resize(device.right - device.left, device.bottom - device.top, 0);
  if (!Empty(device) && !ReadScreenArea(device, source.copy)) return false;
  source.offset = {source.offset.x - device.left, source.offset.y - device.top};
  source.surface = &source.copy;
  return true;
}

}  // namespace platform::gdi

// --- The API ---

using namespace platform::gdi;

extern "C" {

HGDIOBJ WINAPI GetStockObject(int i) {
  TTable& t = Stocked();
  if (i < 0 || i >= kStockCount) return nullptr;
  return t.stock[i];
}

HDC WINAPI CreateCompatibleDC(HDC hdc) {
  if (hdc && !Find<TDc>(hdc)) return nullptr;
  return MakeDc(TDcKind::dkMemory, nullptr);
}

BOOL WINAPI DeleteDC(HDC hdc) {
  if (!Find<TDc>(hdc)) return FALSE;
  DestroyDc(hdc);
  return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  TDc* dc = Find<TDc>(hdc);
  TObject* object = FindObject(h);
  if (!dc || !object) return nullptr;
  HGDIOBJ* slot = nullptr;
  switch (object->type) {
    case OBJ_PEN:
      slot = &dc->state.pen;
      break;
    case OBJ_BRUSH:
      slot = &dc->state.brush;
      break;
    case OBJ_FONT:
      slot = &dc->state.font;
      break;
    case OBJ_REGION:
      return HGDIOBJ(intptr_t(SelectClipRgn(hdc, static_cast<HRGN>(h))));
    case OBJ_BITMAP: {
      auto* bitmap = static_cast<TBitmap*>(object);
      // A bitmap lives in one memory DC at a time.
      if (dc->kind != TDcKind::dkMemory) return nullptr;
      if (!bitmap->stock && bitmap->selectedInto && bitmap->selectedInto != hdc) return nullptr;
      if (!bitmap->stock) bitmap->selectedInto = hdc;
      slot = &dc->state.bitmap;
      break;
    }
    default:
      return nullptr;
  }
  HGDIOBJ previous = *slot;
  if (previous == h) return previous;
  *slot = h;
  Reselect(previous, h);
  return previous;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  TObject* object = FindObject(ho);
  if (!object || object->type == OBJ_DC || object->type == OBJ_MEMDC || object->type == kObjIcon)
    return FALSE;
  return RemoveObject(ho) ? TRUE : FALSE;
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
  TObject* object = FindObject(h);
  if (!object || object->type == kObjIcon) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return object->type;
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN:
      return dc->state.pen;
    case OBJ_BRUSH:
      return dc->state.brush;
    case OBJ_FONT:
      return dc->state.font;
    case OBJ_BITMAP:
      return dc->state.bitmap;
    default:
      return nullptr;
  }
}

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
  if (iStyle < PS_SOLID || iStyle > PS_INSIDEFRAME) return nullptr;
  auto pen = std::make_unique<TPen>();
  pen->type = OBJ_PEN;
  pen->style = UINT(iStyle);
  pen->width = std::max(cWidth, 1);
  pen->color = color & 0xFFFFFF;
  return static_cast<HPEN>(AddObject(std::move(pen)));
}

HPEN WINAPI CreatePenIndirect(const LOGPEN* plpen) {
  if (!plpen) return nullptr;
  return CreatePen(int(plpen->lopnStyle), plpen->lopnWidth.x, plpen->lopnColor);
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* plbrush) {
  if (!plbrush || (plbrush->lbStyle != BS_SOLID && plbrush->lbStyle != BS_NULL)) return nullptr;
  auto brush = std::make_unique<TBrush>();
  brush->type = OBJ_BRUSH;
  brush->style = plbrush->lbStyle;
  brush->color = plbrush->lbColor & 0xFFFFFF;
  return static_cast<HBRUSH>(AddObject(std::move(brush)));
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  const LOGBRUSH log{BS_SOLID, color, 0};
  return CreateBrushIndirect(&log);
}

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
  auto region = std::make_unique<TRegion>();
  region->type = OBJ_REGION;
  region->rect = Normalised(x1, y1, x2, y2);
  if (Empty(region->rect)) region->rect = {0, 0, 0, 0};
  return static_cast<HRGN>(AddObject(std::move(region)));
}

HRGN WINAPI CreateRectRgnIndirect(const RECT* lprect) {
  if (!lprect) return nullptr;
  return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
  TRegion* region = Find<TRegion>(hrgn);
  if (!region || !lprc) return ERROR;
  *lprc = region->rect;
  return Empty(region->rect) ? NULLREGION : SIMPLEREGION;
}

// --- Attributes ---

#define DC_ATTRIBUTE(Type, Name, Field, Invalid)       \
  Type WINAPI Set##Name(HDC hdc, Type value) {         \
    TDc* dc = Find<TDc>(hdc);                          \
    if (!dc) return Invalid;                           \
    const Type previous = dc->state.Field;             \
    dc->state.Field = value;                           \
    return previous;                                   \
  }                                                    \
  Type WINAPI Get##Name(HDC hdc) {                     \
    TDc* dc = Find<TDc>(hdc);                          \
    return dc ? Type(dc->state.Field) : Type(Invalid); \
  }

DC_ATTRIBUTE(COLORREF, TextColor, textColor, CLR_INVALID)
DC_ATTRIBUTE(COLORREF, BkColor, bkColor, CLR_INVALID)
DC_ATTRIBUTE(UINT, TextAlign, textAlign, GDI_ERROR)
#undef DC_ATTRIBUTE

int WINAPI SetBkMode(HDC hdc, int mode) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return std::exchange(dc->state.bkMode, mode);
}
int WINAPI GetBkMode(HDC hdc) {
  TDc* dc = Find<TDc>(hdc);
  return dc ? dc->state.bkMode : 0;
}
int WINAPI SetROP2(HDC hdc, int rop2) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc || rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  return std::exchange(dc->state.rop2, rop2);
}
int WINAPI GetROP2(HDC hdc) {
  TDc* dc = Find<TDc>(hdc);
  return dc ? dc->state.rop2 : 0;
}
int WINAPI SetStretchBltMode(HDC hdc, int mode) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return std::exchange(dc->state.stretchMode, mode);
}
int WINAPI GetStretchBltMode(HDC hdc) {
  TDc* dc = Find<TDc>(hdc);
  return dc ? dc->state.stretchMode : 0;
}

int WINAPI SaveDC(HDC hdc) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc) return 0;
  dc->saved.push_back(dc->state);
  const TDcState& s = dc->state;
  for (HGDIOBJ object : {s.pen, s.brush, s.font, s.bitmap})
    Reselect(nullptr, object);
  return int(dc->saved.size());
}

BOOL WINAPI RestoreDC(HDC hdc, int nSavedDC) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc) return FALSE;
  const int depth = int(dc->saved.size());
  const int level = nSavedDC < 0 ? depth + 1 + nSavedDC : nSavedDC;
  if (level < 1 || level > depth) return FALSE;
  while (int(dc->saved.size()) >= level) {
    const TDcState s = dc->state;
    dc->state = dc->saved.back();
    dc->saved.pop_back();
    for (HGDIOBJ object : {s.pen, s.brush, s.font, s.bitmap})
      Reselect(object, nullptr);
  }
  if (auto* bitmap = Find<TBitmap>(dc->state.bitmap); bitmap && !bitmap->stock)
    bitmap->selectedInto = hdc;
  return TRUE;
}

BOOL WINAPI GdiFlush() {
  return TRUE;
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
  if (!Find<TDc>(hdc)) return 0;
  switch (index) {
    case HORZRES:
      return ScreenExtent().cx;
    case VERTRES:
      return ScreenExtent().cy;
    case BITSPIXEL:
      return 32;
    case PLANES:
      return 1;
    case NUMCOLORS:
      return -1;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return kScreenDpi;
    default:
      return 0;
  }
}

BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return SetOrigin(hdc, &TDcState::viewportOrg, x, y, lppt, false);
}
BOOL WINAPI OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return SetOrigin(hdc, &TDcState::viewportOrg, x, y, lppt, true);
}
BOOL WINAPI SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return SetOrigin(hdc, &TDcState::windowOrg, x, y, lppt, false);
}
BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT lppt) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc || !lppt) return FALSE;
  *lppt = dc->state.viewportOrg;
  return TRUE;
}
BOOL WINAPI GetWindowOrgEx(HDC hdc, LPPOINT lppt) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc || !lppt) return FALSE;
  *lppt = dc->state.windowOrg;
  return TRUE;
}

// --- Clipping ---

int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc) return ERROR;
  if (!hrgn) {
    dc->state.clipped = false;
    return SIMPLEREGION;
  }
  TRegion* region = Find<TRegion>(hrgn);
  if (!region) return ERROR;
  dc->state.clipped = true;
  dc->state.clip = region->rect;  // a clip region is given in device coordinates
  return ClipComplexity(dc->state);
}

int WINAPI IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc) return ERROR;
  const POINT o = Offset(dc->state);
  RECT r = Normalised(left + o.x, top + o.y, right + o.x, bottom + o.y);
  if (dc->state.clipped) r = Intersect(r, dc->state.clip);
  dc->state.clipped = true;
  dc->state.clip = r;
  return ClipComplexity(dc->state);
}

int WINAPI GetClipBox(HDC hdc, LPRECT lprect) {
  TTarget target;
  if (!lprect || !OpenTarget(hdc, target)) return ERROR;
  const POINT o = target.offset;
  *lprect = {target.clip.left - o.x, target.clip.top - o.y, target.clip.right - o.x,
             target.clip.bottom - o.y};
  return Empty(target.clip) ? NULLREGION : SIMPLEREGION;
}

}  // extern "C"

// The drawing objects behind GDI handles (pens, brushes, fonts, bitmaps, regions, device
// contexts, icons) and the resolution of a device context into pixels to draw on or read from.
// Internal to platform/.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/ImageFile.h"
#include "platform/core/Surface.h"
#include "platform/win32/gdi.h"

namespace platform::gdi {

// Object type of icons in the handle table; outside the range of GetObjectType's answers.
constexpr DWORD kObjIcon = 0x100;

// --- Objects ---

struct TObject {
  DWORD type = 0;
  bool stock = false;          // never deleted
  int selections = 0;          // device contexts that hold it
  bool deletePending = false;  // deleted while selected: goes when the last DC lets it go
  virtual ~TObject() = default;
};

struct TPen : TObject {
  UINT style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
};

struct TBrush : TObject {
  UINT style = BS_SOLID;
  COLORREF color = 0;
};

struct TFont : TObject {
  LOGFONTA log{};
};

struct TRegion : TObject {
  RECT rect{};
};

struct TBitmap : TObject {
  Surface surface;
  int bitsPerPixel = 32;  // 1 or 32, or the depth of a DIB section
  HDC selectedInto = nullptr;
  // A DIB section keeps its rows in DIB form where the program can reach them; the surface is
  // a copy brought up to date around every drawing call.
  bool section = false;
  image::TDibFormat format;
  std::unique_ptr<uint8_t[]> bits;

  bool Mono() const { return bitsPerPixel == 1; }
};

struct TIcon : TObject {
  Surface color;
  Surface mask;  // white where the icon lets the background show
  bool hasColor = true;
  bool icon = true;
  DWORD hotX = 0;
  DWORD hotY = 0;
  int bitsPerPixel = 32;
  WORD systemCursor = 0;  // the IDC_ number of a shared system cursor, else 0
};

enum class TDcKind { dkMemory, dkWindow, dkScreen };

// Everything SaveDC keeps.
struct TDcState {
  HGDIOBJ pen = nullptr;
  HGDIOBJ brush = nullptr;
  HGDIOBJ font = nullptr;
  HGDIOBJ bitmap = nullptr;
  COLORREF textColor = 0x000000;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  UINT textAlign = TA_LEFT | TA_TOP;
  POINT viewportOrg{};
  POINT windowOrg{};
  POINT position{};
  bool clipped = false;
  RECT clip{};  // device coordinates
};

struct TDc : TObject {
  TDcKind kind = TDcKind::dkMemory;
  HWND hwnd = nullptr;
  TDcState state;
  std::vector<TDcState> saved;
};

// --- The handle table ---

HANDLE AddObject(std::unique_ptr<TObject> object);
TObject* FindObject(HANDLE handle);
template <class T>
T* Find(HANDLE handle) {
  return dynamic_cast<T*>(FindObject(handle));
}
// Removes the object now, or when the last DC deselects it.
bool RemoveObject(HANDLE handle);
// Moves a DC's hold from `previous` to `next`, deleting `previous` when it was waiting.
void Reselect(HGDIOBJ previous, HGDIOBJ next);
HDC MakeDc(TDcKind kind, HWND hwnd);
void DestroyDc(HDC hdc);

// --- Colours ---

// The pixel a colour becomes on a surface: black or white (the nearer) on a monochrome one.
uint32_t PixelFor(COLORREF color, bool mono);
bool NearerWhite(uint32_t pixel);

// --- Drawing targets ---

// What one drawing call draws on, resolved from a DC: its pixels, where logical coordinates
// land on them, and the part that may change.
struct TTarget {
  TDc* dc = nullptr;
  Surface* surface = nullptr;
  TBitmap* bitmap = nullptr;
  POINT offset{};  // device = logical + offset
  RECT clip{};     // device coordinates, inside the surface
  bool mono = false;
  Surface none;  // the nothing that the screen's DC draws on

  POINT Device(int x, int y) const { return {x + offset.x, y + offset.y}; }
};

// Resolves `hdc` for drawing on the device rows `rows` (null: all). False for a handle that is
// not a live DC.
bool OpenTarget(HDC hdc, TTarget& target, const RECT* rows = nullptr);
// Ends a drawing call that changed `changed` (device coordinates, clipped here): a DIB section
// stores the rows, a window's surface reports the damage.
void CloseTarget(TTarget& target, const RECT& changed);

// Pixels to read from a DC: a surface and where device coordinates land on it.
struct TSource {
  TDc* dc = nullptr;
  const Surface* surface = nullptr;
  POINT offset{};  // surface = logical + offset
  bool mono = false;
  Surface copy;  // the screen's pixels, when the DC shows the screen
};
// Resolves `hdc` for reading the logical rectangle `area`.
bool OpenSource(HDC hdc, const RECT& area, TSource& source);

// Brings rows of a DIB section's surface up to date with its bits, and back.
void PullSection(TBitmap& bitmap, int top, int bottom);
void PushSection(TBitmap& bitmap, int top, int bottom);

// --- Small geometry helpers ---
RECT Intersect(const RECT& a, const RECT& b);
bool Empty(const RECT& r);
RECT Normalised(int left, int top, int right, int bottom);

// The binary raster operation on one pixel.
uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t dest);
// The ternary raster operation (the index byte of a ROP code) on one pixel.
uint32_t ApplyRop3(uint8_t code, uint32_t pattern, uint32_t source, uint32_t dest);

// Fills a device rectangle (already clipped) with a pixel through a binary raster operation.
void FillDevice(TTarget& target, const RECT& area, uint32_t pixel, int rop2);

}  // namespace platform::gdi

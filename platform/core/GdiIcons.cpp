// Icons (CreateIconIndirect, GetIconInfo, DrawIconEx, DestroyIcon) and LoadImageA for
// bitmap and icon files. Internal to platform/ (portable core).
#include "platform/core/GdiIcons.h"

#include <string>
#include <vector>

#include "platform/core/GdiObjects.h"
#include "platform/core/Paths.h"
#include "platform/core/Resources.h"
#include "platform/win32.h"

using namespace platform;
using namespace platform::gdi;

namespace {

// The size Win32 gives icons by default (SM_CXICON, SM_CYICON).
constexpr int kDefaultIconSize = 32;

Surface Stretch(const Surface& from, int width, int height) {
  if (width <= 0 || height <= 0 || (width == from.width && height == from.height)) return from;
  Surface to(width, height, 0);
  if (from.width == 0 || from.height == 0) return to;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      to.At(x, y) =
          from.At(int(int64_t(x) * from.width / width), int(int64_t(y) * from.height / height));
  return to;
}

TIcon* FindIcon(HICON icon) {
  TObject* object = FindObject(icon);
  return object && object->type == kObjIcon ? static_cast<TIcon*>(object) : nullptr;
}

HBITMAP BitmapOf(const Surface& pixels, int bitsPerPixel) {
  HBITMAP handle = CreateBitmap(pixels.width, pixels.height, 1, UINT(bitsPerPixel), nullptr);
  if (TBitmap* bitmap = Find<TBitmap>(handle)) bitmap->surface = pixels;
  return handle;
}

bool ReadFile(const char* name, std::vector<uint8_t>& bytes) {
  const auto path = UnixPathFromWindows(name);
  if (!path) return false;
  std::string text;
  if (!ReadUnixFile(*path, text)) return false;
  bytes.assign(text.begin(), text.end());
  return true;
}

// A bitmap of the decoded picture, stretched to cx by cy when they are not 0.
HANDLE BitmapHandleOf(const image::TBitmapFile& file, int cx, int cy, UINT flags) {
  const Surface pixels = Stretch(file.pixels, cx, cy);
  if (!(flags & LR_CREATEDIBSECTION))
    return BitmapOf(pixels, file.format.bitsPerPixel == 1 ? 1 : 32);
  image::TDibFormat format = file.format;
  format.width = pixels.width, format.height = pixels.height, format.topDown = false;
  std::vector<uint8_t> header;
  image::AppendDibHeader(format, header);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(header.data()),
                                     DIB_RGB_COLORS, &bits, nullptr, 0);
  if (TBitmap* bitmap = Find<TBitmap>(section)) {
    image::EncodePixels(pixels, bitmap->format, bitmap->bits.get());
    PullSection(*bitmap, 0, pixels.height);
  }
  return section;
}

HANDLE LoadBitmapFile(const std::vector<uint8_t>& bytes, int cx, int cy, UINT flags) {
  image::TBitmapFile file;
  if (!image::ReadBmp(bytes.data(), bytes.size(), file)) return nullptr;
  return BitmapHandleOf(file, cx, cy, flags);
}

// A size of 0 asks for the image's own size, or for the default size with LR_DEFAULTSIZE.
void ApplyDefaultSize(int& cx, int& cy, UINT flags) {
  if ((flags & LR_DEFAULTSIZE) && cx == 0) cx = kDefaultIconSize;
  if ((flags & LR_DEFAULTSIZE) && cy == 0) cy = kDefaultIconSize;
}

HANDLE LoadIconFile(const std::vector<uint8_t>& bytes, int cx, int cy, UINT flags) {
  std::vector<image::TIconImage> images;
  if (!image::ReadIco(bytes.data(), bytes.size(), images)) return nullptr;
  ApplyDefaultSize(cx, cy, flags);
  std::vector<image::TIconCandidate> candidates;
  for (const auto& i : images)
    candidates.push_back({i.color.width, i.color.height, i.bitsPerPixel});
  const int chosen =
      image::ChooseIcon(candidates, cx ? cx : kDefaultIconSize, cy ? cy : kDefaultIconSize);
  return MakeIcon(images[size_t(chosen)], cx, cy);
}

// Icons and bitmaps by name from the program's own resources. A missing resource gives no
// image, as on Windows.
HANDLE LoadResourceImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
  if (!instance || !IsOwnModule(instance)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  HANDLE result = nullptr;
  if (type == IMAGE_ICON) {
    ApplyDefaultSize(cx, cy, flags);
    image::TIconImage icon;
    if (IconFromResources(name, cx ? cx : kDefaultIconSize, cy ? cy : kDefaultIconSize, icon)) {
      result = MakeIcon(icon, cx, cy);
    }
  } else if (image::TBitmapFile bitmap; BitmapFromResources(name, bitmap)) {
    result = BitmapHandleOf(bitmap, cx, cy, flags);
  }
  if (!result) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return result;
}

}  // namespace

namespace platform::gdi {

HICON MakeIcon(const image::TIconImage& image, int cx, int cy) {
  auto icon = std::make_unique<TIcon>();
  icon->type = kObjIcon;
  icon->color = Stretch(image.color, cx, cy);
  icon->mask = Stretch(image.mask, cx, cy);
  icon->bitsPerPixel = image.bitsPerPixel;
  icon->hotX = DWORD(icon->color.width / 2), icon->hotY = DWORD(icon->color.height / 2);
  return static_cast<HICON>(AddObject(std::move(icon)));
}

bool IconPixels(HICON handle, int cx, int cy, Surface& out) {
  const TIcon* icon = FindIcon(handle);
  if (!icon) return false;
  const Surface color = Stretch(icon->color, cx, cy), mask = Stretch(icon->mask, cx, cy);
  out.Resize(color.width, color.height, 0);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x)
      out.At(x, y) = mask.At(x, y) & 0xFFFFFF ? 0 : 0xFF000000 | (color.At(x, y) & 0xFFFFFF);
  return true;
}

}  // namespace platform::gdi

extern "C" {

HICON WINAPI CreateIconIndirect(PICONINFO piconinfo) {
  if (!piconinfo) return nullptr;
  const TBitmap* mask = Find<TBitmap>(piconinfo->hbmMask);
  const TBitmap* color = piconinfo->hbmColor ? Find<TBitmap>(piconinfo->hbmColor) : nullptr;
  if (!mask || (piconinfo->hbmColor && !color)) return nullptr;
  auto icon = std::make_unique<TIcon>();
  icon->type = kObjIcon;
  icon->icon = piconinfo->fIcon != FALSE;
  icon->hotX = piconinfo->xHotspot, icon->hotY = piconinfo->yHotspot;
  if (color) {
    icon->color = color->surface;
    icon->mask = Stretch(mask->surface, color->surface.width, color->surface.height);
    icon->bitsPerPixel = color->bitsPerPixel;
  } else {
    // A monochrome icon keeps its AND mask above its XOR image in one bitmap.
    const int height = mask->surface.height / 2;
    icon->hasColor = false;
    icon->bitsPerPixel = 1;
    icon->mask.Resize(mask->surface.width, height, 0);
    icon->color.Resize(mask->surface.width, height, 0);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < mask->surface.width; ++x) {
        icon->mask.At(x, y) = mask->surface.At(x, y);
        icon->color.At(x, y) = mask->surface.At(x, y + height);
      }
  }
  if (icon->icon)
    icon->hotX = DWORD(icon->color.width / 2), icon->hotY = DWORD(icon->color.height / 2);
  return static_cast<HICON>(AddObject(std::move(icon)));
}

BOOL WINAPI GetIconInfo(HICON hIcon, PICONINFO piconinfo) {
  const TIcon* icon = FindIcon(hIcon);
  if (!icon || !piconinfo) {
    SetLastError(ERROR_INVALID_ICON_HANDLE);
    return FALSE;
  }
  piconinfo->fIcon = icon->icon;
  piconinfo->xHotspot = icon->hotX, piconinfo->yHotspot = icon->hotY;
  if (icon->hasColor) {
    piconinfo->hbmMask = BitmapOf(icon->mask, 1);
    piconinfo->hbmColor = BitmapOf(icon->color, 32);
    return TRUE;
  }
  Surface both(icon->mask.width, icon->mask.height * 2, 0);
  for (int y = 0; y < icon->mask.height; ++y)
    for (int x = 0; x < icon->mask.width; ++x) {
      both.At(x, y) = icon->mask.At(x, y);
      both.At(x, y + icon->mask.height) = icon->color.At(x, y);
    }
  piconinfo->hbmMask = BitmapOf(both, 1);
  piconinfo->hbmColor = nullptr;
  return TRUE;
}

BOOL WINAPI DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth,
                       UINT istepIfAniCur, HBRUSH hbrFlickerFreeDraw, UINT diFlags) {
  (void)istepIfAniCur, (void)hbrFlickerFreeDraw;
  const TIcon* icon = FindIcon(hIcon);
  TTarget target;
  if (!icon || !OpenTarget(hdc, target)) return FALSE;
  if (cxWidth == 0) cxWidth = diFlags & DI_DEFAULTSIZE ? kDefaultIconSize : icon->color.width;
  if (cyWidth == 0) cyWidth = diFlags & DI_DEFAULTSIZE ? kDefaultIconSize : icon->color.height;
  const Surface color = Stretch(icon->color, cxWidth, cyWidth);
  const Surface mask = Stretch(icon->mask, cxWidth, cyWidth);
  const POINT p = target.Device(xLeft, yTop);
  const RECT area = Intersect({p.x, p.y, p.x + color.width, p.y + color.height}, target.clip);
  const bool useMask = diFlags & DI_MASK, useImage = diFlags & DI_IMAGE;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      uint32_t& d = target.surface->At(x, y);
      const uint32_t m = mask.At(x - p.x, y - p.y), c = color.At(x - p.x, y - p.y);
      if (useMask && useImage)
        d = (d & m) ^ c;
      else if (useMask)
        d &= m;
      else if (useImage)
        d = c;
      if (target.mono) d = NearerWhite(d) ? 0xFFFFFF : 0;
    }
  CloseTarget(target, area);
  return TRUE;
}

BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
  return DrawIconEx(hDC, X, Y, hIcon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}

BOOL WINAPI DestroyIcon(HICON hIcon) {
  if (!FindIcon(hIcon)) {
    SetLastError(ERROR_INVALID_ICON_HANDLE);
    return FALSE;
  }
  return RemoveObject(hIcon) ? TRUE : FALSE;
}

int WINAPI LookupIconIdFromDirectoryEx(PBYTE presbits, BOOL fIcon, int cxDesired, int cyDesired,
                                       UINT Flags) {
  if (!presbits || !fIcon) return 0;
  std::vector<image::TIconCandidate> candidates;
  std::vector<uint16_t> ids;
  if (!image::ReadGroupIconDirectory(presbits, image::GroupIconDirectorySize(presbits), candidates,
                                     ids))
    return 0;
  const int chosen =
      image::ChooseIcon(candidates, cxDesired ? cxDesired : GetSystemMetrics(SM_CXICON),
                        cyDesired ? cyDesired : GetSystemMetrics(SM_CYICON),
                        (Flags & LR_MONOCHROME) ? 1 : image::kScreenBitsPerPixel);
  return chosen < 0 ? 0 : ids[size_t(chosen)];
}

HICON WINAPI CreateIconFromResourceEx(PBYTE presbits, DWORD dwResSize, BOOL fIcon, DWORD dwVer,
                                      int cxDesired, int cyDesired, UINT Flags) {
  image::TIconImage image;
  if (!presbits || !fIcon || !image::ReadIconImage(presbits, dwResSize, image)) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  ApplyDefaultSize(cxDesired, cyDesired, Flags);
  return gdi::MakeIcon(image, cxDesired, cyDesired);
}

HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad) {
  if (!name || (type != IMAGE_BITMAP && type != IMAGE_ICON)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!(fuLoad & LR_LOADFROMFILE)) return LoadResourceImage(hInst, name, type, cx, cy, fuLoad);
  if (IS_INTRESOURCE(name)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  std::vector<uint8_t> bytes;
  if (!ReadFile(name, bytes)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  HANDLE result = type == IMAGE_BITMAP ? LoadBitmapFile(bytes, cx, cy, fuLoad)
                                       : LoadIconFile(bytes, cx, cy, fuLoad);
  if (!result) SetLastError(ERROR_INVALID_DATA);
  return result;
}

}  // extern "C"

// CreateIconFromResourceEx: an icon from one image's bytes in memory, through the platform's
// icon decoder. Platform layer, shared by every driver.
#include "platform/core/GdiIcons.h"
#include "platform/core/ImageFile.h"
#include "platform/win32.h"

extern "C" HICON WINAPI CreateIconFromResourceEx(BYTE* presbits, DWORD dwResSize, BOOL fIcon,
                                                 DWORD dwVer, int cxDesired, int cyDesired,
                                                 UINT Flags) {
  if (presbits == nullptr || !fIcon || cxDesired < 0 || cyDesired < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  platform::image::TIconImage image;
  if (!platform::image::ReadIconImage(presbits, dwResSize, image)) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  if (Flags & LR_DEFAULTSIZE) {
    if (cxDesired == 0) cxDesired = GetSystemMetrics(SM_CXICON);
    if (cyDesired == 0) cyDesired = GetSystemMetrics(SM_CYICON);
  }
  return platform::gdi::MakeIcon(image, cxDesired, cyDesired);
}

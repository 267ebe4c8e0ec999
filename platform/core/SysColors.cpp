// System colours: the fixed classic scheme behind GetSysColor. Platform layer, shared by every
// driver.
#include "platform/win32.h"

namespace {

constexpr COLORREF Rgb(int r, int g, int b) {
  return COLORREF(r | g << 8 | b << 16);
}

constexpr COLORREF kClassicScheme[] = {
    Rgb(192, 192, 192),  // COLOR_SCROLLBAR
    Rgb(0, 128, 128),    // COLOR_BACKGROUND
    Rgb(0, 0, 128),      // COLOR_ACTIVECAPTION
    Rgb(128, 128, 128),  // COLOR_INACTIVECAPTION
    Rgb(192, 192, 192),  // COLOR_MENU
    Rgb(255, 255, 255),  // COLOR_WINDOW
    Rgb(0, 0, 0),        // COLOR_WINDOWFRAME
    Rgb(0, 0, 0),        // COLOR_MENUTEXT
    Rgb(0, 0, 0),        // COLOR_WINDOWTEXT
    Rgb(255, 255, 255),  // COLOR_CAPTIONTEXT
    Rgb(192, 192, 192),  // COLOR_ACTIVEBORDER
    Rgb(192, 192, 192),  // COLOR_INACTIVEBORDER
    Rgb(128, 128, 128),  // COLOR_APPWORKSPACE
    Rgb(0, 0, 128),      // COLOR_HIGHLIGHT
    Rgb(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    Rgb(192, 192, 192),  // COLOR_BTNFACE
    Rgb(128, 128, 128),  // COLOR_BTNSHADOW
    Rgb(128, 128, 128),  // COLOR_GRAYTEXT
    Rgb(0, 0, 0),        // COLOR_BTNTEXT
    Rgb(192, 192, 192),  // COLOR_INACTIVECAPTIONTEXT
    Rgb(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    Rgb(0, 0, 0),        // COLOR_3DDKSHADOW
    Rgb(223, 223, 223),  // COLOR_3DLIGHT
    Rgb(0, 0, 0),        // COLOR_INFOTEXT
    Rgb(255, 255, 225),  // COLOR_INFOBK
};

}  // namespace

extern "C" DWORD WINAPI GetSysColor(int nIndex) {
  constexpr int kCount = sizeof(kClassicScheme) / sizeof(kClassicScheme[0]);
  return nIndex >= 0 && nIndex < kCount ? kClassicScheme[nIndex] : 0;
}

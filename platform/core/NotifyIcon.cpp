// Shell_NotifyIconA: the program's icons in the notification area. The core keeps what each
// icon shows, so that NIM_MODIFY changes only the parts its flags name, and hands the whole
// icon to the driver, which shows it and posts its callbacks. Internal to platform/ (core).
#include <cstring>
#include <utility>

#include "platform/core/Core.h"
#include "platform/core/GdiIcons.h"
#include "platform/win32.h"

namespace platform::core {

namespace {

// An icon's pixels over its mask: opaque where the mask is black, alpha 0 where it is white.
// A handle that is no icon shows as an empty slot.
Surface IconImage(HICON handle) {
  Surface pixels;
  if (handle == nullptr || !gdi::IconPixels(handle, 0, 0, pixels)) return {};
  return pixels;
}

// Copies the parts of `data` that its flags name into `icon`.
void Apply(const NOTIFYICONDATAA& data, TrayIcon& icon) {
  icon.owner = data.hWnd;
  icon.id = data.uID;
  if (data.uFlags & NIF_MESSAGE) icon.callbackMessage = data.uCallbackMessage;
  if (data.uFlags & NIF_ICON) icon.image = IconImage(data.hIcon);
  // The first form's tip holds 64 characters with its terminating zero.
  if (data.uFlags & NIF_TIP) icon.tip.assign(data.szTip, strnlen(data.szTip, 63));
}

}  // namespace

}  // namespace platform::core

extern "C" BOOL WINAPI Shell_NotifyIconA(DWORD dwMessage, PNOTIFYICONDATAA lpData) {
  using namespace platform::core;
  if (lpData == nullptr || lpData->cbSize < NOTIFYICONDATAA_V1_SIZE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto& icons = State().trayIcons;
  const auto it = icons.find({lpData->hWnd, lpData->uID});
  platform::Driver& driver = TheDriver();
  switch (dwMessage) {
    case NIM_ADD: {
      if (it != icons.end()) return FALSE;
      platform::TrayIcon icon;
      Apply(*lpData, icon);
      if (!driver.Tray(NIM_ADD, icon)) return FALSE;
      icons.emplace(std::make_pair(lpData->hWnd, lpData->uID), std::move(icon));
      return TRUE;
    }
    case NIM_MODIFY: {
      if (it == icons.end()) return FALSE;
      platform::TrayIcon icon = it->second;
      Apply(*lpData, icon);
      if (!driver.Tray(NIM_MODIFY, icon)) return FALSE;
      it->second = std::move(icon);
      return TRUE;
    }
    case NIM_DELETE: {
      if (it == icons.end()) return FALSE;
      const bool removed = driver.Tray(NIM_DELETE, it->second);
      icons.erase(it);
      return removed ? TRUE : FALSE;
    }
    default:
      return FALSE;
  }
}

// Notification-area icons through the System Tray Protocol and XEmbed. Internal to
// platform/x11.
#include "platform/x11/X11Tray.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "platform/x11/X11Display.h"
#include "platform/x11/X11Image.h"

namespace platform::x11 {

namespace {

// Mouse messages as the shell reports them in lParam.
constexpr UINT kWmMouseMove = 0x0200;
constexpr UINT kWmLButtonDown = 0x0201;
constexpr UINT kWmLButtonUp = 0x0202;
constexpr UINT kWmLButtonDblClk = 0x0203;
constexpr UINT kWmRButtonDown = 0x0204;
constexpr UINT kWmMButtonDown = 0x0207;

constexpr long kSystemTrayRequestDock = 0;
constexpr long kXembedEmbeddedNotify = 0;
constexpr long kXembedMapped = 1;
constexpr int kIconSize = 22;     // what the icon asks for; the host may give another size
constexpr DWORD kTipDelay = 500;  // hover time before the tip shows, as Windows waits
constexpr int kTipPadding = 3;
// How long NIM_ADD waits for the host to take the icon, generous for a loaded machine.
constexpr auto kDockTimeout = std::chrono::milliseconds(3000);

// The first mouse message of a button: down; up and double click follow it.
UINT DownMessageOf(unsigned int button) {
  switch (button) {
    case Button1:
      return kWmLButtonDown;
    case Button2:
      return kWmMButtonDown;
    case Button3:
      return kWmRButtonDown;
    default:
      return 0;  // the wheel and extra buttons report nothing
  }
}

}  // namespace

struct TX11Tray::TIcon {
  TrayIcon info;
  Window window = 0;
  bool embedded = false;  // inside the host (reparented)
  bool mapped = false;
  int width = kIconSize;
  int height = kIconSize;
  TClickTracker clicks;
};

// --- Construction ---

TX11Tray::TX11Tray(TX11Display& display, TPost post, TRules rules)
    : FDisplay(display), FPost(std::move(post)), FRules(std::move(rules)) {
  FGc = XCreateGC(display.Dpy(), display.Root(), 0, nullptr);
  FindHost();
}

TX11Tray::~TX11Tray() {
  Display* dpy = FDisplay.Dpy();
  for (const auto& icon : FIcons)
    XDestroyWindow(dpy, icon->window);
  if (FTipWindow != 0) XDestroyWindow(dpy, FTipWindow);
  if (FFont != nullptr) XFreeFont(dpy, FFont);
  XFreeGC(dpy, FGc);
  XFlush(dpy);
}

// --- The tray host ---

void TX11Tray::FindHost() {
  // The server is grabbed so that the host cannot vanish between the question and the
  // selection of its DestroyNotify.
  Display* dpy = FDisplay.Dpy();
  XGrabServer(dpy);
  const Window host = XGetSelectionOwner(dpy, FDisplay.Atoms().netSystemTraySelection);
  // The host cannot vanish while the server is grabbed, so no error can come of this.
  if (host != None) XSelectInput(dpy, host, StructureNotifyMask);
  FHost = host;
  XUngrabServer(dpy);
  XFlush(dpy);
}

void TX11Tray::WatchHost(Window host) {
  TErrorTrap trap(FDisplay.Dpy());
  XSelectInput(FDisplay.Dpy(), host, StructureNotifyMask);
  FHost = trap.Failed() ? 0 : host;
}

void TX11Tray::HostGone() {
  FHost = 0;
  HideTip();
  for (auto& icon : FIcons) {
    icon->embedded = false;
    icon->mapped = false;
  }
}

bool TX11Tray::Dock(TIcon& icon) {
  if (FHost == 0) return false;
  // A host that has just died makes this fail quietly; its DestroyNotify tells, as it does
  // in every other moment.
  const long data[5] = {CurrentTime, kSystemTrayRequestDock, long(icon.window), 0, 0};
  return FDisplay.SendClientMessage(FHost, FHost, FDisplay.Atoms().netSystemTrayOpcode, data,
                                    NoEventMask);
}

// --- Icons ---

TX11Tray::TIcon* TX11Tray::Find(HWND owner, UINT id) const {
  for (const auto& icon : FIcons) {
    if (icon->info.owner == owner && icon->info.id == id) return icon.get();
  }
  return nullptr;
}

TX11Tray::TIcon* TX11Tray::FindWindow(Window w) const {
  for (const auto& icon : FIcons) {
    if (icon->window == w) return icon.get();
  }
  return nullptr;
}

bool TX11Tray::Docked(HWND owner, UINT id) const {
  const TIcon* icon = Find(owner, id);
  return icon != nullptr && icon->embedded && icon->mapped;
}

Window TX11Tray::IconWindow(HWND owner, UINT id) const {
  const TIcon* icon = Find(owner, id);
  return icon != nullptr ? icon->window : 0;
}

bool TX11Tray::Add(const TrayIcon& info, bool await) {
  if (Find(info.owner, info.id) != nullptr) return false;
  if (FHost == 0) FindHost();
  if (FHost == 0 && await) return false;

  Display* dpy = FDisplay.Dpy();
  auto icon = std::make_unique<TIcon>();
  icon->info = info;
  XSetWindowAttributes attributes{};
  // The host's own background shows through the icon's transparent pixels.
  attributes.background_pixmap = ParentRelative;
  attributes.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask |
                          PointerMotionMask | EnterWindowMask | LeaveWindowMask;
  icon->window =
      XCreateWindow(dpy, FDisplay.Root(), 0, 0, kIconSize, kIconSize, 0, CopyFromParent,
                    InputOutput, CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
  const long xembedInfo[2] = {0, kXembedMapped};
  FDisplay.SetCardinals(icon->window, FDisplay.Atoms().xembedInfo, FDisplay.Atoms().xembedInfo,
                        xembedInfo, 2);
  // Without a minimum size the host gives the icon a slot one pixel wide.
  XSizeHints hints{};
  hints.flags = PMinSize | PBaseSize;
  hints.min_width = hints.base_width = kIconSize;
  hints.min_height = hints.base_height = kIconSize;
  XSetWMNormalHints(dpy, icon->window, &hints);
  XStoreName(dpy, icon->window, info.tip.c_str());

  TIcon& added = *icon;
  FIcons.push_back(std::move(icon));
  if (!await) {
    Dock(added);
    return true;
  }
  // As on Windows, a successful add means that the icon is in the notification area: the
  // host's answer is awaited, and an icon it never takes is withdrawn again.
  if (!Dock(added) || !AwaitDocking(added)) {
    XDestroyWindow(dpy, added.window);
    XFlush(dpy);
    FIcons.pop_back();
    return false;
  }
  return true;
}

bool TX11Tray::AwaitDocking(TIcon& icon) {
  Display* dpy = FDisplay.Dpy();
  const auto due = std::chrono::steady_clock::now() + kDockTimeout;
  // Only the events about this icon and the host are taken now; the others stay queued, in
  // order, for the program's own loop.
  struct TAbout {
    Window icon, host;
  } about{icon.window, FHost};
  auto concerns = [](Display*, XEvent* e, XPointer arg) -> Bool {
    const auto* a = reinterpret_cast<const TAbout*>(arg);
    return e->xany.window == a->icon ||
           (e->type == DestroyNotify && e->xdestroywindow.window == a->host);
  };
  while (!Docked(icon.info.owner, icon.info.id)) {
    XEvent event;
    if (XCheckIfEvent(dpy, &event, concerns, reinterpret_cast<XPointer>(&about))) {
      HandleEvent(event, 0);
      if (FHost == 0) return false;  // the host died meanwhile
      continue;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        due - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd connection{ConnectionNumber(dpy), POLLIN, 0};
    poll(&connection, 1, int(left.count()));
  }
  return true;
}

bool TX11Tray::Modify(const TrayIcon& info) {
  TIcon* icon = Find(info.owner, info.id);
  if (icon == nullptr) return false;
  icon->info = info;
  if (FHover == icon && FTipShown) ShowTip(*icon);
  Draw(*icon);
  return true;
}

bool TX11Tray::Delete(HWND owner, UINT id) {
  TIcon* icon = Find(owner, id);
  if (icon == nullptr) return false;
  if (FHover == icon) {
    HideTip();
    FHover = nullptr;
  }
  // Destroying the window is what tells the host to drop the slot.
  XDestroyWindow(FDisplay.Dpy(), icon->window);
  XFlush(FDisplay.Dpy());
  FIcons.erase(std::find_if(FIcons.begin(), FIcons.end(),
                            [icon](const auto& i) { return i.get() == icon; }));
  return true;
}

// --- Drawing ---

void TX11Tray::Draw(TIcon& icon) {
  if (!icon.mapped) return;
  Display* dpy = FDisplay.Dpy();
  // The image is fitted into the slot (nearest pixel when it is larger) and centred; pixels
  // with alpha 0 stay out of a clip mask, so the host's background shows there.
  const Surface& image = icon.info.image;
  const int w = icon.width, h = icon.height;
  XClearWindow(dpy, icon.window);
  if (image.width == 0 || image.height == 0) return;
  const int side = std::min({w, h, std::max(image.width, image.height)});
  const double scale = double(std::max(image.width, image.height)) / side;
  const int drawnW = std::max(1, int(image.width / scale));
  const int drawnH = std::max(1, int(image.height / scale));
  const int left = (w - drawnW) / 2, top = (h - drawnH) / 2;

  Surface fitted(w, h, 0);
  // The opaque pixels, as runs along each row, clip the drawing. (A one-bit pixmap would do the
  // same, but Xlib loads the cursor library at the first one made, which costs the start.)
  std::vector<XRectangle> opaque;
  for (int y = 0; y < drawnH; ++y) {
    for (int x = 0; x < drawnW; ++x) {
      const uint32_t pixel = image.At(std::min(image.width - 1, int(x * scale)),
                                      std::min(image.height - 1, int(y * scale)));
      if ((pixel >> 24) == 0) continue;
      fitted.At(left + x, top + y) = pixel & 0x00FFFFFF;
      if (!opaque.empty() && opaque.back().y == top + y &&
          opaque.back().x + opaque.back().width == left + x) {
        ++opaque.back().width;
      } else {
        opaque.push_back(XRectangle{short(left + x), short(top + y), 1, 1});
      }
    }
  }
  if (opaque.empty()) return;
  XSetClipRectangles(dpy, FGc, 0, 0, opaque.data(), int(opaque.size()), YXBanded);
  PutSurface(FDisplay, icon.window, FGc, fitted, RECT{0, 0, w, h});
  XSetClipMask(dpy, FGc, None);
}

// --- Events ---

bool TX11Tray::HandleEvent(const XEvent& event, DWORD now) {
  const TAtoms& atoms = FDisplay.Atoms();
  if (event.type == ClientMessage && event.xclient.message_type == atoms.manager &&
      Atom(event.xclient.data.l[1]) == atoms.netSystemTraySelection) {
    // A new tray host took the selection: every icon docks again.
    WatchHost(Window(event.xclient.data.l[2]));
    for (auto& icon : FIcons)
      Dock(*icon);
    return true;
  }
  if (event.type == DestroyNotify && FHost != 0 && event.xdestroywindow.window == FHost) {
    HostGone();
    return true;
  }
  if (event.xany.window == FTipWindow && FTipWindow != 0) {
    // Uncovered by another window: the server has repainted only the background.
    if (event.type == Expose && event.xexpose.count == 0 && FTipShown) DrawTip();
    return true;
  }
  TIcon* icon = FindWindow(event.xany.window);
  return icon != nullptr && HandleIconEvent(*icon, event, now);
}

bool TX11Tray::HandleIconEvent(TIcon& icon, const XEvent& event, DWORD now) {
  Display* dpy = FDisplay.Dpy();
  switch (event.type) {
    case ReparentNotify:
      icon.embedded = event.xreparent.parent != FDisplay.Root();
      // An icon that comes back to the root when its host dies stays mapped there: hide it
      // until the next host takes it.
      if (!icon.embedded) {
        icon.mapped = false;
        XUnmapWindow(dpy, icon.window);
      }
      return true;
    case MapNotify:
      icon.mapped = true;
      return true;
    case UnmapNotify:
      icon.mapped = false;
      return true;
    case ConfigureNotify:
      icon.width = event.xconfigure.width;
      icon.height = event.xconfigure.height;
      Draw(icon);
      return true;
    case Expose:
      if (event.xexpose.count == 0) Draw(icon);
      return true;
    case ClientMessage:
      if (event.xclient.message_type == FDisplay.Atoms().xembed &&
          event.xclient.data.l[1] == kXembedEmbeddedNotify) {
        icon.embedded = true;
      }
      return true;
    case EnterNotify:
    case LeaveNotify:
    case MotionNotify:
    case ButtonPress:
    case ButtonRelease:
      Pointer(icon, event, now);
      return true;
    default:
      return true;
  }
}

void TX11Tray::Pointer(TIcon& icon, const XEvent& event, DWORD now) {
  switch (event.type) {
    case EnterNotify:
    case LeaveNotify:
      // Every click arrives wrapped in crossings of the window manager's grab; only real
      // arrivals and departures count for the tip.
      if (event.xcrossing.mode != NotifyNormal) return;
      if (event.type == LeaveNotify) {
        HideTip();
        FHover = nullptr;
      } else {
        FHover = &icon;
        FTipDue = now + kTipDelay;
      }
      return;
    case MotionNotify:
      if (FHover != &icon) {
        FHover = &icon;
        FTipDue = now + kTipDelay;
      }
      Notify(icon, kWmMouseMove);
      return;
    case ButtonPress: {
      const UINT down = DownMessageOf(event.xbutton.button);
      if (down == 0) return;
      HideTip();
      FTipDue = 0;
      const bool isDouble =
          icon.clicks.Press(int(event.xbutton.button), uint32_t(event.xbutton.time),
                            event.xbutton.x_root, event.xbutton.y_root, FRules());
      Notify(icon, isDouble ? down + (kWmLButtonDblClk - kWmLButtonDown) : down);
      return;
    }
    case ButtonRelease: {
      const UINT down = DownMessageOf(event.xbutton.button);
      if (down != 0) Notify(icon, down + (kWmLButtonUp - kWmLButtonDown));
      return;
    }
    default:
      return;
  }
}

void TX11Tray::Notify(const TIcon& icon, UINT mouseMessage) const {
  if (icon.info.callbackMessage == 0) return;
  FPost(icon.info.owner, icon.info.callbackMessage, WPARAM(icon.info.id), LPARAM(mouseMessage));
}

// --- The tooltip ---

DWORD TX11Tray::Tick(DWORD now) {
  if (FTipDue == 0) return 0;
  if (int32_t(now - FTipDue) < 0) return FTipDue;
  FTipDue = 0;
  if (FHover != nullptr) ShowTip(*FHover);
  return 0;
}

void TX11Tray::ShowTip(TIcon& icon) {
  Display* dpy = FDisplay.Dpy();
  const std::string& tip = icon.info.tip;
  if (tip.empty()) {
    HideTip();
    return;
  }
  // The tip is drawn with the server's own fixed font: Windows-1252 and the font's ISO 8859-1
  // agree on every letter a tip in Portuguese needs.
  if (FFont == nullptr) FFont = XLoadQueryFont(dpy, "fixed");
  if (FFont == nullptr) return;
  const int textWidth = XTextWidth(FFont, tip.data(), int(tip.size()));
  const int w = textWidth + 2 * kTipPadding;
  const int h = FFont->ascent + FFont->descent + 2 * kTipPadding;
  if (FTipWindow == 0) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.save_under = True;
    attributes.background_pixel = 0xFFFFE1;  // the system's tooltip colour
    attributes.border_pixel = 0;
    attributes.event_mask = ExposureMask;
    FTipWindow = XCreateWindow(
        dpy, FDisplay.Root(), 0, 0, w, h, 1, CopyFromParent, InputOutput, CopyFromParent,
        CWOverrideRedirect | CWSaveUnder | CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
    FDisplay.SetAtoms(FTipWindow, FDisplay.Atoms().netWmWindowType,
                      {FDisplay.Atoms().netWmWindowTypeTooltip});
  }
  // Above the icon, kept inside the screen.
  Window child;
  int iconX = 0, iconY = 0;
  XTranslateCoordinates(dpy, icon.window, FDisplay.Root(), 0, 0, &iconX, &iconY, &child);
  const int x = std::clamp(iconX, 0, std::max(0, FDisplay.Width() - w - 2));
  const int y = iconY - h - 4 >= 0 ? iconY - h - 4 : iconY + icon.height + 4;
  XMoveResizeWindow(dpy, FTipWindow, x, y, w, h);
  // Named like its text, for the tools that list windows (and the tests).
  XStoreName(dpy, FTipWindow, tip.c_str());
  XMapRaised(dpy, FTipWindow);
  FTipText = tip;
  FTipShown = true;
  // Drawn now, and again at every exposure: the first comes with the map.
  DrawTip();
  XFlush(dpy);
}

void TX11Tray::DrawTip() {
  Display* dpy = FDisplay.Dpy();
  XClearWindow(dpy, FTipWindow);
  XSetFont(dpy, FGc, FFont->fid);
  XSetForeground(dpy, FGc, 0);
  XDrawString(dpy, FTipWindow, FGc, kTipPadding, kTipPadding + FFont->ascent, FTipText.data(),
              int(FTipText.size()));
  XFlush(dpy);
}

void TX11Tray::HideTip() {
  FTipDue = 0;
  if (!FTipShown) return;
  XUnmapWindow(FDisplay.Dpy(), FTipWindow);
  XFlush(FDisplay.Dpy());
  FTipShown = false;
}

}  // namespace platform::x11

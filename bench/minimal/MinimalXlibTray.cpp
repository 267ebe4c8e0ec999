// The smallest honest Xlib program that does what MorCalvix does in the notification area: it
// docks an icon through the System Tray Protocol and, on a double click of the icon, shows a
// 356 x 259 window over a copy of the desktop taken just before, which hides again when the
// user goes elsewhere. The shell figures (bench/ShellFigures.cpp) measure it beside MorCalvix
// in the same run, as the floor our own figures are judged against. Xlib only, no toolkit.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kIconSize = 22;
constexpr int kWidth = 356, kHeight = 259;
constexpr Time kDoubleClickTime = 500;
constexpr long kRequestDock = 0;
constexpr long kXembedMapped = 1;
constexpr long kMotifDecorations = 2;
constexpr long kActiveSourceApplication = 1;

struct TProgram {
  Display* dpy = nullptr;
  Window root = 0;
  Window icon = 0;
  Window main = 0;
  XImage* copy = nullptr;  // the desktop under the window at its last showing
  Time lastPress = 0;
  bool shown = false;
  Atom trayOpcode = 0, xembedInfo = 0, motifHints = 0, activeWindow = 0, traySelection = 0,
       manager = 0;
};

void SendClientMessage(TProgram& p, Window to, Window about, Atom type, const long (&data)[5],
                       long mask) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = about;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  for (int i = 0; i < 5; ++i)
    event.xclient.data.l[i] = data[i];
  XSendEvent(p.dpy, to, False, mask, &event);
}

void Dock(TProgram& p) {
  const Window host = XGetSelectionOwner(p.dpy, p.traySelection);
  if (host == None) return;  // the MANAGER announcement of a later host docks it
  const long data[5] = {CurrentTime, kRequestDock, long(p.icon), 0, 0};
  SendClientMessage(p, host, host, p.trayOpcode, data, NoEventMask);
  XFlush(p.dpy);
}

void MakeIcon(TProgram& p) {
  XSetWindowAttributes attributes{};
  attributes.background_pixel = 0x2060C0;
  attributes.event_mask = ButtonPressMask | ExposureMask;
  p.icon = XCreateWindow(p.dpy, p.root, 0, 0, kIconSize, kIconSize, 0, CopyFromParent, InputOutput,
                         CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  const long info[2] = {0, kXembedMapped};
  XChangeProperty(p.dpy, p.icon, p.xembedInfo, p.xembedInfo, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(info), 2);
  XSizeHints hints{};
  hints.flags = PMinSize | PBaseSize;
  hints.min_width = hints.base_width = kIconSize;
  hints.min_height = hints.base_height = kIconSize;
  XSetWMNormalHints(p.dpy, p.icon, &hints);
  XStoreName(p.dpy, p.icon, "Minimal tray");
}

void MakeMain(TProgram& p) {
  const int screen = DefaultScreen(p.dpy);
  const int x = (DisplayWidth(p.dpy, screen) - kWidth) / 2;
  const int y = (DisplayHeight(p.dpy, screen) - kHeight) / 2;
  XSetWindowAttributes attributes{};
  attributes.background_pixmap = None;
  attributes.event_mask = ExposureMask | FocusChangeMask | StructureNotifyMask;
  p.main = XCreateWindow(p.dpy, p.root, x, y, kWidth, kHeight, 0, CopyFromParent, InputOutput,
                         CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
  XStoreName(p.dpy, p.main, "Minimal tray window");
  XSizeHints size{};
  size.flags = USPosition | PPosition | PMinSize | PMaxSize;
  size.x = x, size.y = y;
  size.min_width = size.max_width = kWidth;
  size.min_height = size.max_height = kHeight;
  XSetWMNormalHints(p.dpy, p.main, &size);
  const long motif[5] = {kMotifDecorations, 0, 0, 0, 0};
  XChangeProperty(p.dpy, p.main, p.motifHints, p.motifHints, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(motif), 5);
}

// Copies the desktop under the hidden window, then shows it in front with the focus.
void ShowMain(TProgram& p, Time userTime) {
  if (p.shown) return;
  XWindowAttributes at{};
  XGetWindowAttributes(p.dpy, p.main, &at);
  if (p.copy != nullptr) XDestroyImage(p.copy);
  p.copy = XGetImage(p.dpy, p.root, at.x, at.y, kWidth, kHeight, AllPlanes, ZPixmap);
  XMapRaised(p.dpy, p.main);
  const long data[5] = {kActiveSourceApplication, long(userTime), 0, 0, 0};
  SendClientMessage(p, p.root, p.main, p.activeWindow, data,
                    SubstructureRedirectMask | SubstructureNotifyMask);
  XFlush(p.dpy);
  p.shown = true;
}

void HideMain(TProgram& p) {
  if (!p.shown) return;
  XWithdrawWindow(p.dpy, p.main, DefaultScreen(p.dpy));
  XFlush(p.dpy);
  p.shown = false;
}

void Handle(TProgram& p, XEvent& event) {
  switch (event.type) {
    case Expose:
      if (event.xexpose.window == p.main && p.copy != nullptr) {
        XPutImage(p.dpy, p.main, DefaultGC(p.dpy, DefaultScreen(p.dpy)), p.copy, event.xexpose.x,
                  event.xexpose.y, event.xexpose.x, event.xexpose.y, unsigned(event.xexpose.width),
                  unsigned(event.xexpose.height));
      }
      break;
    case ButtonPress:
      if (event.xbutton.window == p.icon && event.xbutton.button == Button1) {
        if (p.lastPress != 0 && event.xbutton.time - p.lastPress <= kDoubleClickTime) {
          ShowMain(p, event.xbutton.time);
          p.lastPress = 0;
        } else {
          p.lastPress = event.xbutton.time;
        }
      }
      break;
    case FocusOut:
      // Another program or the bare desktop took the focus.
      if (event.xfocus.window == p.main && event.xfocus.mode == NotifyNormal &&
          event.xfocus.detail == NotifyNonlinear) {
        HideMain(p);
      }
      break;
    case ClientMessage:
      if (event.xclient.message_type == p.manager &&
          Atom(event.xclient.data.l[1]) == p.traySelection) {
        Dock(p);
      }
      break;
    default:
      break;
  }
}

}  // namespace

int main() {
  TProgram p;
  p.dpy = XOpenDisplay(nullptr);
  if (p.dpy == nullptr) {
    std::fputs("MinimalXlibTray: no display\n", stderr);
    return 1;
  }
  p.root = DefaultRootWindow(p.dpy);
  char selection[32];
  std::snprintf(selection, sizeof selection, "_NET_SYSTEM_TRAY_S%d", DefaultScreen(p.dpy));
  // Every atom in one round trip.
  char* names[] = {selection,
                   const_cast<char*>("_NET_SYSTEM_TRAY_OPCODE"),
                   const_cast<char*>("_XEMBED_INFO"),
                   const_cast<char*>("_MOTIF_WM_HINTS"),
                   const_cast<char*>("_NET_ACTIVE_WINDOW"),
                   const_cast<char*>("MANAGER")};
  Atom atoms[6] = {};
  XInternAtoms(p.dpy, names, 6, False, atoms);
  p.traySelection = atoms[0];
  p.trayOpcode = atoms[1];
  p.xembedInfo = atoms[2];
  p.motifHints = atoms[3];
  p.activeWindow = atoms[4];
  p.manager = atoms[5];
  XSelectInput(p.dpy, p.root, StructureNotifyMask);
  MakeIcon(p);
  MakeMain(p);
  Dock(p);
  // The loop blocks on the connection: nothing runs until the server has something to say.
  for (;;) {
    XEvent event;
    XNextEvent(p.dpy, &event);
    Handle(p, event);
  }
}

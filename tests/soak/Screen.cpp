// The soak's own connection to the virtual desktop. Test tooling (tests/soak).
#include "tests/soak/Screen.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace soak {

namespace {

// Windows of other programs vanish while the soak looks at them; that is no error of the soak.
int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;
}

constexpr int kIconDepth = 6;  // how deep a tray host nests the icons it holds

}  // namespace

TScreen::TScreen(const std::string& display) {
  FDisplay = XOpenDisplay(display.c_str());
  if (FDisplay == nullptr) throw std::runtime_error("cannot open display " + display);
  XSetErrorHandler(IgnoreErrors);
  FRoot = DefaultRootWindow(FDisplay);
  FWidth = DisplayWidth(FDisplay, DefaultScreen(FDisplay));
  FHeight = DisplayHeight(FDisplay, DefaultScreen(FDisplay));
  FNetClientList = XInternAtom(FDisplay, "_NET_CLIENT_LIST", False);
  FNetWmPid = XInternAtom(FDisplay, "_NET_WM_PID", False);
  FXembedInfo = XInternAtom(FDisplay, "_XEMBED_INFO", False);
  const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(FDisplay));
  FTraySelection = XInternAtom(FDisplay, selection.c_str(), False);
}

TScreen::~TScreen() {
  XCloseDisplay(FDisplay);
}

// --- Finding windows ---

bool TScreen::Describe(Window w, TWin& out) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(FDisplay, w, &attributes)) return false;
  out = TWin{};
  out.id = w;
  out.viewable = attributes.map_state == IsViewable;
  out.width = attributes.width;
  out.height = attributes.height;
  Describe(w, out, attributes);
  return true;
}

void TScreen::Describe(Window w, TWin& out, const XWindowAttributes& attributes) {
  Window child = 0;
  XTranslateCoordinates(FDisplay, w, FRoot, 0, 0, &out.x, &out.y, &child);
  char* name = nullptr;
  if (XFetchName(FDisplay, w, &name) && name != nullptr) {
    out.name = name;
    XFree(name);
  }
  XClassHint hint{};
  if (XGetClassHint(FDisplay, w, &hint)) {
    if (hint.res_class != nullptr) out.resClass = hint.res_class;
    if (hint.res_name != nullptr) XFree(hint.res_name);
    if (hint.res_class != nullptr) XFree(hint.res_class);
  }
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(FDisplay, w, FNetWmPid, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                         &after, &data) == Success &&
      data != nullptr) {
    if (format == 32 && count == 1) out.pid = *reinterpret_cast<long*>(data);
    XFree(data);
  }
}

std::vector<TWin> TScreen::Shown() {
  std::vector<Window> candidates;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(FDisplay, FRoot, &root, &parent, &children, &count)) {
    candidates.assign(children, children + count);
    if (children != nullptr) XFree(children);
  }
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(FDisplay, FRoot, FNetClientList, 0, 4096, False, XA_WINDOW, &type, &format,
                         &items, &after, &data) == Success &&
      data != nullptr) {
    const auto* clients = reinterpret_cast<const long*>(data);
    for (unsigned long i = 0; i < items; ++i)
      candidates.push_back(Window(clients[i]));
    XFree(data);
  }
  // Hidden windows, the many of the neighbours among them, cost one request each.
  std::vector<TWin> out;
  for (Window w : candidates) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(FDisplay, w, &attributes) || attributes.map_state != IsViewable)
      continue;
    TWin win;
    win.id = w;
    win.viewable = true;
    win.width = attributes.width;
    win.height = attributes.height;
    Describe(w, win, attributes);
    if (!win.name.empty() || !win.resClass.empty()) out.push_back(win);
  }
  return out;
}

std::optional<TWin> TScreen::ShownNamed(const std::string& name) {
  for (const TWin& w : Shown())
    if (w.name == name) return w;
  return std::nullopt;
}

void TScreen::FindDocked(Window w, int depth, std::vector<TWin>& out) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(FDisplay, w, &root, &parent, &children, &count)) return;
  for (unsigned int i = 0; i < count; ++i) {
    int format = 0;
    Atom type = None;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(FDisplay, children[i], FXembedInfo, 0, 2, False, AnyPropertyType, &type,
                           &format, &items, &after, &data) == Success &&
        data != nullptr) {
      XFree(data);
      TWin win;
      if (Describe(children[i], win) && win.viewable) out.push_back(win);
      continue;
    }
    if (depth > 0) FindDocked(children[i], depth - 1, out);
  }
  if (children != nullptr) XFree(children);
}

std::vector<TWin> TScreen::DockedIcons() {
  // Only windows a tray host holds count: below a child of the root, never the root's own.
  std::vector<TWin> out;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(FDisplay, FRoot, &root, &parent, &children, &count)) return out;
  for (unsigned int i = 0; i < count; ++i)
    FindDocked(children[i], kIconDepth, out);
  if (children != nullptr) XFree(children);
  return out;
}

std::optional<TWin> TScreen::DockedIcon(const std::string& tip) {
  TWin win;
  // The icon keeps its window between dockings: look at the last one first.
  if (FIcon != 0 && Describe(FIcon, win) && win.viewable && win.name == tip) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(FDisplay, FIcon, &root, &parent, &children, &count)) {
      if (children != nullptr) XFree(children);
      if (parent != FRoot) return win;
    }
  }
  for (const TWin& icon : DockedIcons()) {
    if (icon.name != tip) continue;
    FIcon = icon.id;
    return icon;
  }
  return std::nullopt;
}

bool TScreen::Shows(Window w, int x, int y) {
  // The deepest window at the point, as the server finds the one a click lands on, then up
  // through its ancestors.
  Window at = FRoot, child = None;
  int localX = 0, localY = 0;
  while (XTranslateCoordinates(FDisplay, FRoot, at, x, y, &localX, &localY, &child) &&
         child != None)
    at = child;
  while (at != None && at != FRoot) {
    if (at == w) return true;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(FDisplay, at, &root, &parent, &children, &count)) return false;
    if (children != nullptr) XFree(children);
    at = parent;
  }
  return false;
}

bool TScreen::PointerHeld() {
  // Only one program can hold the pointer: a grab of our own that fails says another has it.
  const int status = XGrabPointer(FDisplay, FRoot, False, 0, GrabModeAsync, GrabModeAsync, None,
                                  None, CurrentTime);
  if (status == GrabSuccess) XUngrabPointer(FDisplay, CurrentTime);
  XSync(FDisplay, False);
  return status == AlreadyGrabbed || status == GrabFrozen;
}

Window TScreen::TrayOwner() {
  return XGetSelectionOwner(FDisplay, FTraySelection);
}

Window TScreen::Focus() {
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(FDisplay, &focus, &revert);
  return focus;
}

void TScreen::Activate(Window w) {
  constexpr long kSourcePager = 2;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = w;
  event.xclient.message_type = XInternAtom(FDisplay, "_NET_ACTIVE_WINDOW", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = kSourcePager;
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(FDisplay, FRoot, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XSync(FDisplay, False);
}

// --- Input ---

void TScreen::Pause(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void TScreen::MoveTo(int x, int y) {
  XTestFakeMotionEvent(FDisplay, -1, x, y, CurrentTime);
  XSync(FDisplay, False);
}

void TScreen::Click(int button) {
  XTestFakeButtonEvent(FDisplay, unsigned(button), True, CurrentTime);
  XSync(FDisplay, False);
  Pause(5);
  XTestFakeButtonEvent(FDisplay, unsigned(button), False, CurrentTime);
  XSync(FDisplay, False);
}

void TScreen::ClickAt(int x, int y, int button) {
  MoveTo(x, y);
  Pause(5);
  Click(button);
}

void TScreen::DoubleClickAt(int x, int y, int button) {
  MoveTo(x, y);
  Pause(5);
  // The delays are the server's: it waits that long before it takes each event.
  XTestFakeButtonEvent(FDisplay, unsigned(button), True, 0);
  XTestFakeButtonEvent(FDisplay, unsigned(button), False, 5);
  XTestFakeButtonEvent(FDisplay, unsigned(button), True, 80);
  XTestFakeButtonEvent(FDisplay, unsigned(button), False, 5);
  XSync(FDisplay, False);
}

bool TScreen::KeyOf(KeySym sym, KeyCode& code, int& level) {
  int minCode = 0, maxCode = 0;
  XDisplayKeycodes(FDisplay, &minCode, &maxCode);
  // The plain level first: a key the layout has twice is typed without modifiers.
  for (level = 0; level < 4; ++level)
    for (int c = minCode; c <= maxCode; ++c)
      if (XkbKeycodeToKeysym(FDisplay, KeyCode(c), 0, level) == sym) {
        code = KeyCode(c);
        return true;
      }
  return false;
}

bool TScreen::Key(KeySym sym) {
  KeyCode code = 0;
  int level = 0;
  if (!KeyOf(sym, code, level)) return false;
  const KeyCode shift = XKeysymToKeycode(FDisplay, XK_Shift_L);
  const KeyCode altGr = XKeysymToKeycode(FDisplay, XK_ISO_Level3_Shift);
  const bool withShift = (level & 1) != 0, withAltGr = (level & 2) != 0;
  if (withAltGr && altGr == 0) return false;
  if (withShift) XTestFakeKeyEvent(FDisplay, shift, True, CurrentTime);
  if (withAltGr) XTestFakeKeyEvent(FDisplay, altGr, True, CurrentTime);
  XTestFakeKeyEvent(FDisplay, code, True, CurrentTime);
  XTestFakeKeyEvent(FDisplay, code, False, CurrentTime);
  if (withAltGr) XTestFakeKeyEvent(FDisplay, altGr, False, CurrentTime);
  if (withShift) XTestFakeKeyEvent(FDisplay, shift, False, CurrentTime);
  XSync(FDisplay, False);
  return true;
}

void TScreen::Type(const std::string& text) {
  for (const char c : text) {
    Key(KeySym(static_cast<unsigned char>(c)));
    Pause(15);
  }
}

// --- The server's accounts ---

bool TScreen::Resources(Window w, TResources& out) {
  int clientCount = 0;
  XResClient* clients = nullptr;
  if (!XResQueryClients(FDisplay, &clientCount, &clients)) return false;
  XID base = 0;
  bool found = false;
  for (int i = 0; i < clientCount && !found; ++i) {
    if ((w & ~clients[i].resource_mask) == clients[i].resource_base) {
      base = clients[i].resource_base;
      found = true;
    }
  }
  XFree(clients);
  if (!found) return false;
  int typeCount = 0;
  XResType* types = nullptr;
  if (!XResQueryClientResources(FDisplay, base, &typeCount, &types)) return false;
  const Atom window = XInternAtom(FDisplay, "WINDOW", False);
  const Atom pixmap = XInternAtom(FDisplay, "PIXMAP", False);
  const Atom gc = XInternAtom(FDisplay, "GC", False);
  out = TResources{};
  for (int i = 0; i < typeCount; ++i) {
    if (types[i].resource_type == window) out.windows = types[i].count;
    if (types[i].resource_type == pixmap) out.pixmaps = types[i].count;
    if (types[i].resource_type == gc) out.gcs = types[i].count;
  }
  XFree(types);
  return true;
}

}  // namespace soak

// Other programs' windows: the stacking walk, names and classes, and posted messages.
// Internal to platform/x11.
#include "platform/x11/X11Windows.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "platform/core/CodePage.h"
#include "platform/x11/X11Display.h"

namespace platform::x11 {

namespace {

constexpr unsigned long kWithdrawnState = 0;
constexpr unsigned long kNormalState = 1;
constexpr unsigned long kIconicState = 3;
constexpr int kFrameDepth = 3;  // how deep a window manager nests a client in its frame

bool HasWmState(const TX11Display& display, Window w, unsigned long* state = nullptr) {
  std::vector<unsigned long> values;
  if (!display.GetLongs(w, display.Atoms().wmState, values) || values.empty()) return false;
  if (state != nullptr) *state = values[0];
  return true;
}

// The client window inside a frame: the first window down the tree that carries WM_STATE.
Window FindClient(const TX11Display& display, Window w, int depth) {
  if (HasWmState(display, w)) return w;
  if (depth == 0) return 0;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display.Dpy(), w, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned int i = count; i-- > 0 && found == 0;) {
    found = FindClient(display, children[i], depth - 1);
  }
  if (children != nullptr) XFree(children);
  return found;
}

uint32_t Low32(uint64_t v) {
  return uint32_t(v & 0xFFFFFFFFu);
}

}  // namespace

std::vector<TTopLevel> WalkTopLevels(const TX11Display& display) {
  std::vector<TTopLevel> topFirst;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  // Every request of the walk is answered, so an error (a window gone meanwhile) comes as the
  // answer and the window is skipped; nothing needs another round trip to learn of it.
  if (!XQueryTree(display.Dpy(), display.Root(), &root, &parent, &children, &count)) {
    return topFirst;
  }
  // The root lists its children bottom-most first.
  for (unsigned int i = count; i-- > 0;) {
    const Window client = FindClient(display, children[i], kFrameDepth);
    topFirst.push_back({children[i], client != 0 ? client : children[i]});
  }
  if (children != nullptr) XFree(children);
  return topFirst;
}

std::string WindowText(const TX11Display& display, Window w) {
  std::string bytes;
  Atom type = None;
  if (display.GetBytes(w, display.Atoms().netWmName, bytes, &type) &&
      type == display.Atoms().utf8String) {
    return Cp1252FromUtf8(bytes);
  }
  if (display.GetBytes(w, XA_WM_NAME, bytes, &type)) {
    return type == display.Atoms().utf8String ? Cp1252FromUtf8(bytes) : Cp1252FromLatin1(bytes);
  }
  return {};
}

bool DescribeWindow(const TX11Display& display, Window w, ForeignWindow& out) {
  Display* dpy = display.Dpy();
  // Each request here is answered, and an error (the window gone) comes as its answer.
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(dpy, w, &attributes)) return false;
  out = ForeignWindow{};
  out.key = w;
  out.text = WindowText(display, w);
  std::string className;
  if (display.GetBytes(w, display.Atoms().calvixClass, className)) {
    out.className = className;
  } else {
    XClassHint hint{};
    if (XGetClassHint(dpy, w, &hint)) {
      out.className = Cp1252FromLatin1(hint.res_class != nullptr ? hint.res_class : "");
      if (hint.res_name != nullptr) XFree(hint.res_name);
      if (hint.res_class != nullptr) XFree(hint.res_class);
    }
  }
  // A minimised window still counts as visible on Windows; a withdrawn one does not.
  unsigned long state = kWithdrawnState;
  if (HasWmState(display, w, &state)) {
    out.visible = state == kNormalState || state == kIconicState;
    out.iconic = state == kIconicState;
  } else {
    out.visible = attributes.map_state != IsUnmapped;
  }
  Window child = 0;
  int x = 0, y = 0;
  // A window gone since the first answer fails this last one too.
  if (!XTranslateCoordinates(dpy, w, display.Root(), 0, 0, &x, &y, &child)) return false;
  out.bounds = RECT{x, y, x + attributes.width, y + attributes.height};
  return true;
}

void EncodePostedMessage(const TPostedMessage& message, long (&data)[5]) {
  const uint64_t w = uint64_t(message.wParam), l = uint64_t(message.lParam);
  data[0] = long(Low32(message.msg));
  data[1] = long(Low32(w));
  data[2] = long(Low32(l));
  data[3] = long(Low32(w >> 32));
  data[4] = long(Low32(l >> 32));
}

TPostedMessage DecodePostedMessage(const long (&data)[5]) {
  // Each field arrives sign-extended from 32 bits: only the low halves are ours.
  auto half = [&](int i) { return uint64_t(Low32(uint64_t(data[i]))); };
  TPostedMessage message;
  message.msg = UINT(half(0));
  message.wParam = WPARAM(half(1) | (half(3) << 32));
  message.lParam = LPARAM(half(2) | (half(4) << 32));
  return message;
}

}  // namespace platform::x11

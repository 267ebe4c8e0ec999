// A connection of the figures program's own that watches and drives the virtual desktop. Bench
// support, outside the layers.
#include "bench/shell/DesktopObserver.h"

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <poll.h>

#include <algorithm>

namespace bench {

namespace {

// Windows vanish while they are looked at; their errors say nothing the figures need.
int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;
}

}  // namespace

TDesktopObserver::TDesktopObserver() {
  FDisplay = XOpenDisplay(nullptr);
  if (FDisplay == nullptr) return;
  XSetErrorHandler(IgnoreErrors);
  FRoot = DefaultRootWindow(FDisplay);
  // Every window a program makes on the root is announced here (CreateNotify), as is every
  // window that leaves the root for a frame or a tray host (ReparentNotify).
  XSelectInput(FDisplay, FRoot, SubstructureNotifyMask);
  XSetWindowAttributes attributes{};
  attributes.event_mask = PropertyChangeMask;
  FStampWindow = XCreateWindow(FDisplay, FRoot, -1, -1, 1, 1, 0, 0, InputOnly, CopyFromParent,
                               CWEventMask, &attributes);
  FStampAtom = XInternAtom(FDisplay, "CALVIX_FIGURES_STAMP", False);
  FXembedInfo = XInternAtom(FDisplay, "_XEMBED_INFO", False);
  XSync(FDisplay, False);
}

TDesktopObserver::~TDesktopObserver() {
  if (FDisplay != nullptr) XCloseDisplay(FDisplay);
}

// --- Events ---

bool TDesktopObserver::Next(XEvent& event, TClock::time_point deadline) {
  while (XQLength(FDisplay) == 0) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - TClock::now()).count();
    if (left <= 0) return false;
    pollfd fd{ConnectionNumber(FDisplay), POLLIN, 0};
    poll(&fd, 1, int(left));
    // Every event read in this batch arrived now; they are stamped with this moment.
    XEventsQueued(FDisplay, QueuedAfterReading);
    FReadAt = TClock::now();
  }
  XNextEvent(FDisplay, &event);
  Note(event, FReadAt);
  return true;
}

void TDesktopObserver::Note(const XEvent& event, TClock::time_point at) {
  switch (event.type) {
    case CreateNotify:
      // The stamp window is the observer's own, and selects other events.
      if (event.xcreatewindow.parent == FRoot && event.xcreatewindow.window != FStampWindow) {
        // The server reuses the numbers of windows that are gone.
        FWindows[event.xcreatewindow.window] = TTracked{FRoot};
        FIcons.erase(event.xcreatewindow.window);
        XSelectInput(FDisplay, event.xcreatewindow.window, StructureNotifyMask);
        XFlush(FDisplay);
      }
      break;
    case ReparentNotify: {
      const auto it = FWindows.find(event.xreparent.window);
      if (it == FWindows.end()) break;
      it->second.parent = event.xreparent.parent;
      if (event.xreparent.parent != FRoot && !it->second.mapped) CatchUpOnMap(it->first);
      break;
    }
    case MapNotify: {
      const auto it = FWindows.find(event.xmap.window);
      // A child of the root reports its map twice: to the root and to itself.
      if (it != FWindows.end() && !it->second.mapped) {
        it->second.mapped = true;
        it->second.mappedAt = at;
      }
      break;
    }
    case UnmapNotify: {
      const auto it = FWindows.find(event.xunmap.window);
      if (it != FWindows.end()) it->second.mapped = false;
      break;
    }
    case DestroyNotify: {
      const auto it = FWindows.find(event.xdestroywindow.window);
      if (it != FWindows.end()) it->second.destroyed = true;
      break;
    }
    case PropertyNotify:
      if (event.xproperty.window == FStampWindow) {
        FStamp = event.xproperty.time;
        FStamped = true;
      }
      break;
    default:
      break;
  }
}

void TDesktopObserver::CatchUpOnMap(Window w) {
  // The window left the root before this connection had selected its events: the host may
  // have mapped it already. The server answers after every event that came before, so once
  // those are noted, a map still missing was one this connection could not see.
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(FDisplay, w, &attributes)) return;
  while (XQLength(FDisplay) > 0) {
    XEvent event;
    XNextEvent(FDisplay, &event);
    Note(event, FReadAt);
  }
  TTracked& tracked = FWindows[w];
  if (attributes.map_state != IsUnmapped && !tracked.mapped) {
    tracked.mapped = true;
    tracked.mappedAt = TClock::now();
    ++FLateDockings;
  }
}

// --- Waiting ---

bool TDesktopObserver::IsDockedIcon(Window w) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(FDisplay, w, FXembedInfo, 0, 2, False, AnyPropertyType,
                                        &type, &format, &count, &after, &data);
  if (data != nullptr) XFree(data);
  return status == Success && type != None;
}

std::string TDesktopObserver::NameOf(Window w) {
  char* name = nullptr;
  std::string out;
  if (XFetchName(FDisplay, w, &name) && name != nullptr) out = name;
  if (name != nullptr) XFree(name);
  return out;
}

Window TDesktopObserver::AwaitDockedIcon(TClock::time_point deadline, TClock::time_point& at) {
  std::set<Window> checked;
  for (;;) {
    for (const auto& [w, tracked] : FWindows) {
      if (!tracked.mapped || tracked.destroyed || tracked.parent == FRoot) continue;
      if (FIcons.count(w) != 0 || !checked.insert(w).second) continue;
      if (IsDockedIcon(w)) {
        FIcons.insert(w);
        at = tracked.mappedAt;
        return w;
      }
    }
    XEvent event;
    if (!Next(event, deadline)) return 0;
  }
}

Window TDesktopObserver::AwaitMapped(const std::string& name, TClock::time_point deadline,
                                     TClock::time_point& at) {
  const TClock::time_point since = TClock::now();
  std::set<Window> checked;
  for (;;) {
    for (const auto& [w, tracked] : FWindows) {
      if (!tracked.mapped || tracked.destroyed || tracked.mappedAt < since) continue;
      if (!checked.insert(w).second) continue;
      if (NameOf(w) == name) {
        at = tracked.mappedAt;
        return w;
      }
    }
    XEvent event;
    if (!Next(event, deadline)) return 0;
  }
}

bool TDesktopObserver::AwaitUnmapped(Window w, TClock::time_point deadline) {
  XEvent event;
  while (FWindows[w].mapped && !FWindows[w].destroyed) {
    if (!Next(event, deadline)) return false;
  }
  return true;
}

bool TDesktopObserver::AwaitDestroyed(Window w, TClock::time_point deadline) {
  XEvent event;
  while (!FWindows[w].destroyed) {
    if (!Next(event, deadline)) return false;
  }
  return true;
}

void TDesktopObserver::Idle(TClock::time_point until) {
  XEvent event;
  while (Next(event, until)) {
  }
}

// --- Time and input ---

Time TDesktopObserver::ServerTime() {
  FStamped = false;
  XChangeProperty(FDisplay, FStampWindow, FStampAtom, XA_STRING, 8, PropModeAppend, nullptr, 0);
  XFlush(FDisplay);
  XEvent event;
  const auto deadline = TClock::now() + std::chrono::seconds(5);
  while (!FStamped && Next(event, deadline)) {
  }
  return FStamp;
}

bool TDesktopObserver::Centre(Window w, int& x, int& y) {
  XWindowAttributes attributes{};
  Window child = 0;
  return XGetWindowAttributes(FDisplay, w, &attributes) &&
         XTranslateCoordinates(FDisplay, w, FRoot, attributes.width / 2, attributes.height / 2, &x,
                               &y, &child);
}

void TDesktopObserver::MoveTo(int x, int y) {
  XTestFakeMotionEvent(FDisplay, -1, x, y, CurrentTime);
  XFlush(FDisplay);
}

void TDesktopObserver::Click() {
  XTestFakeButtonEvent(FDisplay, Button1, True, CurrentTime);
  XTestFakeButtonEvent(FDisplay, Button1, False, CurrentTime);
  XFlush(FDisplay);
}

}  // namespace bench

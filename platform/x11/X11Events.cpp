// The X11 driver's wait and the translation of X events into calls on the core: input,
// focus, exposure, the window manager's changes and messages from other processes of ours.
// Internal to platform/x11.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <malloc.h>
#include <poll.h>
#include <time.h>

#include <algorithm>
#include <cstring>

#include "platform/core/DriverSink.h"
#include "platform/core/WindowSurfaces.h"
#include "platform/win32.h"
#include "platform/x11/X11DriverImpl.h"
#include "platform/x11/X11Windows.h"

namespace platform::x11 {

namespace {

constexpr int kWheelDelta = 120;

}  // namespace

DWORD MonotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return DWORD(uint64_t(now.tv_sec) * 1000 + uint64_t(now.tv_nsec) / 1000000);
}

// --- Events ---

bool TX11Driver::Wait(DWORD deadline, bool forever) {
  Display* dpy = FDisplay->Dpy();
  for (;;) {
    // Replies to earlier requests may have pulled events into Xlib's queue already.
    if (Drain()) return true;
    const DWORD now = TickCount();
    const DWORD trayDue = FTray->Tick(now);
    if (!forever && int32_t(now - deadline) >= 0) return true;
    int timeout = forever ? -1 : int(deadline - now);
    if (FAwaitedFocus != 0) {
      const int untilGraceEnds = std::max(0, int(FAwaitedSince + kActivationGrace - now));
      timeout = timeout < 0 ? untilGraceEnds : std::min(timeout, untilGraceEnds);
    }
    if (trayDue != 0) {
      const int untilTray = std::max(0, int(int32_t(trayDue - now)));
      timeout = timeout < 0 ? untilTray : std::min(timeout, untilTray);
    }
    // The session bus of the notification area waits in the same poll.
    const int busDue = FNotifyArea->TimeoutMs();
    if (busDue >= 0) timeout = timeout < 0 ? busDue : std::min(timeout, busDue);
    // The program has done what it had to: the taskbar sees the state it ended in.
    Settle();
    if (timeout < 0) GiveBackMemory();
    XFlush(dpy);
    // What was asked of the server since the queue was drained (the taskbar's state, the time
    // for an activation, the tip's place) reads whatever arrived meanwhile into Xlib's queue,
    // where poll would not see it: the user's click elsewhere would wait for the next event.
    if (XEventsQueued(dpy, QueuedAlready) > 0) continue;
    // A descriptor of -1 (no signals, no bus) is skipped by poll.
    pollfd watched[3] = {{ConnectionNumber(dpy), POLLIN, 0},
                         {FSignals.Descriptor(), POLLIN, 0},
                         {FNotifyArea->Fd(), FNotifyArea->Events(), 0}};
    if (poll(watched, 3, timeout) > 0 && (watched[1].revents & POLLIN)) FSignals.Clear();
  }
}

void TX11Driver::GiveBackMemory() {
  // About to wait for the user with no window of ours on the screen (in the notification
  // area): what the windows and their paints freed goes back to the system, once after each
  // showing, rather than staying in the heap until the next one.
  if (FMemoryGivenBack) return;
  // The application's carrier of the taskbar button stays shown in the tray but shows nothing.
  for (const auto& [hwnd, w] : FWindows)
    if (w.shown && !w.carrier) return;
  malloc_trim(0);
  FMemoryGivenBack = true;
}

bool TX11Driver::Drain() {
  Display* dpy = FDisplay->Dpy();
  // The program looks at its queue: what it learns next about other windows is read anew.
  FSnapshot.Forget();
  bool any = false;
  while (XPending(dpy) > 0) {
    XEvent event;
    XNextEvent(dpy, &event);
    Translate(event);
    any = true;
  }
  // What the core was told of the focus is the program's to see now: the posts it made (the
  // deactivation's) must not wait in its queue for the next event, which may be long in coming.
  if (FFocusChanged && CheckFocus()) any = true;
  FTray->Tick(TickCount());
  if (FNotifyArea->Process()) any = true;
  // After the events that came before it, as the system's own messages would be.
  if (FSignals.Take()) {
    sink::SessionEnding();
    any = true;
  }
  return any;
}

void TX11Driver::Translate(XEvent& event) {
  // The time of the user's latest press, on any window of ours (the tray icon too), is what
  // entitles the program to ask for the activation.
  if (event.type == ButtonPress) NoteUserTime(event.xbutton.time);
  if (event.type == KeyPress) NoteUserTime(event.xkey.time);
  if (FTray->HandleEvent(event, TickCount())) return;
  if (event.type == MappingNotify) {
    // A program such as xdotool changed the key map: look keys up in the new one.
    XRefreshKeyboardMapping(&event.xmapping);
    return;
  }
  if (event.type == KeyPress || event.type == KeyRelease) {
    TranslateKey(event.xkey);
    return;
  }
  TWindow* w = FindX(event.xany.window);
  if (w == nullptr) return;
  switch (event.type) {
    case MapNotify:
      w->mapped = true;
      break;
    case UnmapNotify:
      w->mapped = false;
      break;
    case Expose:
      TranslateExpose(*w,
                      RECT{event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                           event.xexpose.y + event.xexpose.height});
      break;
    case ConfigureNotify:
      // Only the window manager's own notices give screen coordinates.
      if (event.xconfigure.send_event) {
        const RECT bounds{event.xconfigure.x, event.xconfigure.y,
                          event.xconfigure.x + event.xconfigure.width,
                          event.xconfigure.y + event.xconfigure.height};
        if (std::memcmp(&bounds, &w->info.bounds, sizeof bounds) != 0) {
          w->info.bounds = bounds;
          sink::MovedBySystem(w->hwnd, bounds);
        }
      }
      break;
    case FocusIn:
    case FocusOut:
      // Grabs (our own menus) and moves inside one window say nothing about activation.
      if (event.xfocus.mode == NotifyNormal || event.xfocus.mode == NotifyWhileGrabbed) {
        if (event.xfocus.detail != NotifyInferior && event.xfocus.detail != NotifyPointer) {
          FFocusChanged = true;
        }
      }
      break;
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
      TranslatePointer(*w, event);
      break;
    case ClientMessage:
      TranslateClient(*w, event.xclient);
      break;
    case PropertyNotify:
      TranslateProperty(*w, event.xproperty);
      break;
    default:
      break;
  }
}

void TX11Driver::TranslateExpose(const TWindow& w, const RECT& area) {
  // The window's surface keeps what the program painted last, and the exposed part is put back
  // from it, as a compositing desktop does. So the first paint of a window, which mostly comes
  // before the window manager has mapped it and cannot be shown then, is not asked for again
  // when the window appears. While a paint is pending anyway, the exposed part joins it.
  const Surface* surface = GetUpdateRect(w.hwnd, nullptr, FALSE) ? nullptr : WindowSurface(w.hwnd);
  if (surface != nullptr)
    Present(w.hwnd, *surface, area);
  else
    sink::Exposed(w.hwnd, area);
}

void TX11Driver::FollowButtons(unsigned state) {
  const bool left = state & Button1Mask, middle = state & Button2Mask, right = state & Button3Mask;
  sink::PointerButtonsHeld(left, right, middle);
  // A capture's hold on the pointer ends with the last button, however its release went.
  if (FCaptureGrabbed && !left && !middle && !right) GrabForCapture(false);
}

void TX11Driver::TranslatePointer(const TWindow& w, const XEvent& event) {
  if (event.type == MotionNotify) {
    FollowButtons(event.xmotion.state);
    // Only the latest of a run of moves matters.
    XEvent next;
    if (XPending(FDisplay->Dpy()) > 0) {
      XPeekEvent(FDisplay->Dpy(), &next);
      if (next.type == MotionNotify && next.xmotion.window == event.xmotion.window) return;
    }
    sink::PointerMoved(w.hwnd, POINT{event.xmotion.x_root, event.xmotion.y_root},
                       LocalTime(event.xmotion.time));
    return;
  }
  const XButtonEvent& b = event.xbutton;
  const POINT screen{b.x_root, b.y_root};
  const bool down = event.type == ButtonPress;
  // The buttons as they were before this one changed.
  FollowButtons(b.state);
  // A capture holds the pointer while a button is down: from a press in one of our windows,
  // until the release of the last button held (the event's state is the buttons' before it).
  if (FCaptured != nullptr && b.button >= Button1 && b.button <= Button3) {
    constexpr unsigned kButtons = Button1Mask | Button2Mask | Button3Mask;
    const unsigned self = Button1Mask << (b.button - Button1);
    if (down && !FCaptureGrabbed)
      GrabForCapture(true);
    else if (!down && FCaptureGrabbed && (b.state & kButtons & ~self) == 0)
      GrabForCapture(false);
  }
  switch (b.button) {
    case Button1:
      sink::PointerButton(w.hwnd, sink::Button::btLeft, down, screen, LocalTime(b.time));
      break;
    case Button2:
      sink::PointerButton(w.hwnd, sink::Button::btMiddle, down, screen, LocalTime(b.time));
      break;
    case Button3:
      sink::PointerButton(w.hwnd, sink::Button::btRight, down, screen, LocalTime(b.time));
      break;
    case Button4:
    case Button5:
      if (down) {
        sink::PointerWheel(w.hwnd, b.button == Button4 ? kWheelDelta : -kWheelDelta, screen,
                           LocalTime(b.time));
      }
      break;
    default:
      break;
  }
}

void TX11Driver::TranslateKey(XKeyEvent& event) {
  Display* dpy = FDisplay->Dpy();
  const bool down = event.type == KeyPress;
  // X repeats a held key as release-press pairs with one timestamp; Windows repeats the press
  // alone.
  if (!down && XEventsQueued(dpy, QueuedAfterReading) > 0) {
    XEvent next;
    XPeekEvent(dpy, &next);
    if (next.type == KeyPress && next.xkey.keycode == event.keycode &&
        next.xkey.time == event.time) {
      return;
    }
  }
  KeySym typedSym = NoSymbol;
  char ignored[8];
  XLookupString(&event, ignored, sizeof ignored, &typedSym, nullptr);
  const int vk = VirtualKeyFromKeySym(uint32_t(XLookupKeysym(&event, 0)));
  if (vk == 0) return;
  const DWORD time = LocalTime(event.time);
  if (!down) {
    sink::Key(BYTE(vk), false, 0, time);
    return;
  }
  // Ctrl with a letter types its control character, as on Windows, and no accent waits.
  if ((event.state & ControlMask) != 0) {
    FDeadKeys.Reset();
    const bool typesSomething = Cp1252FromKeySym(uint32_t(typedSym)) != 0;
    const bool letter = vk >= 'A' && vk <= 'Z';
    sink::Key(BYTE(vk), true, typesSomething && letter ? char(vk - 'A' + 1) : 0, time);
    return;
  }
  const std::string typed = FDeadKeys.Press(uint32_t(typedSym));
  // A key that types two characters (an accent the letter does not take, then the letter)
  // hands the first over as a key of its own, since one key press carries one character here.
  for (size_t i = 0; i + 1 < typed.size(); ++i) {
    sink::Key(VK_PACKET, true, typed[i], time);
    sink::Key(VK_PACKET, false, 0, time);
  }
  sink::Key(BYTE(vk), true, typed.empty() ? 0 : typed.back(), time);
}

void TX11Driver::TranslateClient(const TWindow& w, const XClientMessageEvent& event) {
  const TAtoms& atoms = FDisplay->Atoms();
  if (event.message_type == atoms.calvixMessage && event.format == 32) {
    const TPostedMessage posted = DecodePostedMessage(event.data.l);
    sink::ForeignMessage(w.hwnd, posted.msg, posted.wParam, posted.lParam);
  } else if (event.message_type == atoms.calvixShow && event.format == 32) {
    // The other process acts on its user's behalf (a second copy started by the user), and its
    // time entitles this one to come forward.
    NoteUserTime(Time(uint32_t(event.data.l[1])));
    if (event.data.l[0] == kShowRequestForeground) {
      sink::ForegroundRequested(w.hwnd);
    } else {
      sink::ShowRequested(w.hwnd, int(event.data.l[0]));
    }
  } else if (event.message_type == atoms.wmProtocols &&
             Atom(event.data.l[0]) == atoms.wmDeleteWindow) {
    sink::CloseRequested(w.hwnd);
  }
}

void TX11Driver::TranslateProperty(TWindow& w, const XPropertyEvent& event) {
  if (event.atom != FDisplay->Atoms().wmState || event.state != PropertyNewValue) return;
  std::vector<unsigned long> state;
  if (!FDisplay->GetLongs(w.xid, FDisplay->Atoms().wmState, state) || state.empty()) return;
  const bool iconic = state[0] == kIconicState;
  w.iconic = iconic;
  if (iconic && !w.minimised && w.shown && (w.info.style & WS_MINIMIZEBOX) == 0) {
    // Windows offers no way to minimise a window without a minimise box (a message box, a
    // borderless form); a window manager that does anyway (openbox keeps the button on dialogs)
    // is overruled, or the window would be lost without a taskbar entry to bring it back.
    XMapWindow(FDisplay->Dpy(), w.xid);
    w.iconic = false;
    return;
  }
  if (iconic != w.minimised && w.shown) {
    w.minimised = iconic;
    sink::MinimisedBySystem(w.hwnd, iconic);
  }
}

DWORD TX11Driver::LocalTime(Time serverTime) {
  // Asked at the first input event rather than at the start, which it would slow down by a
  // round trip to the server.
  if (!FTimeOffsetKnown) {
    FTimeOffset = TickCount() - DWORD(FDisplay->ServerTime(FTimeWindow));
    FTimeOffsetKnown = true;
  }
  return DWORD(serverTime + FTimeOffset);
}

bool TX11Driver::CheckFocus() {
  // Focus events come in pairs and runs; the server's answer after the queue is drained says
  // where the focus settled.
  FFocusChanged = false;
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(FDisplay->Dpy(), &focus, &revert);
  TWindow* w = FindX(focus);
  if (FAwaitedFocus != 0) {
    if (w == nullptr && TickCount() - FAwaitedSince < kActivationGrace) {
      FFocusChanged = true;  // look again when the request lands or the grace is over
      return false;
    }
    FAwaitedFocus = 0;
  }
  // An accent typed into one window does not fall on a letter typed into another.
  FDeadKeys.Reset();
  if (w != nullptr) {
    // A click on the application's taskbar button brings its last active window forward, as
    // the Windows taskbar does.
    if (w->carrier && ForwardFromCarrier(*w)) return true;
    if (TWindow* owner = Find(w->info.owner); owner != nullptr && !w->info.popup) {
      owner->lastActivePopup = w->hwnd;
    }
    sink::ActivationMoved(w->info.popup ? nullptr : w->hwnd);
  } else if (focus == None || focus == PointerRoot || focus == FDisplay->Root()) {
    sink::ActivationMoved(GetDesktopWindow());
  } else {
    // Another program's window, which GetForegroundWindow then names; null when it has
    // vanished already.
    sink::ActivationMoved(sink::ForeignHandle(uint64_t(focus)));
  }
  return true;
}

}  // namespace platform::x11

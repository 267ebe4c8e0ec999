// The X display connection of the X11 driver: opening, atoms, properties and the error trap.
// Internal to platform/x11.
#include "platform/x11/X11Display.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <array>
#include <cstring>

namespace platform::x11 {

// --- Protocol errors ---
// Windows of other programs vanish at any moment, so errors are expected. The handler is
// process-wide: it records the serial number and code of recent errors, and a trap asks
// whether one of them belongs to its own requests.
namespace {

struct TRecordedError {
  unsigned long serial = 0;
  int code = 0;
};
std::array<TRecordedError, 64> recentErrors;
size_t nextError = 0;

int RecordError(Display*, XErrorEvent* event) {
  recentErrors[nextError % recentErrors.size()] = {event->serial, event->error_code};
  ++nextError;
  return 0;
}

}  // namespace

TErrorTrap::TErrorTrap(Display* display) : FDisplay(display), FFirstRequest(NextRequest(display)) {}

TErrorTrap::~TErrorTrap() {
  Failed();
}

bool TErrorTrap::Failed() {
  // Requests made since the last look are answered first: a trap asked early in a group of
  // requests (is the window there at all?) still catches what fails later in the group.
  if (!FSynced || NextRequest(FDisplay) != FSyncedTo) {
    XSync(FDisplay, False);
    FSynced = true;
    FSyncedTo = NextRequest(FDisplay);
    for (const TRecordedError& e : recentErrors) {
      // Serial numbers wrap, so compare by unsigned distance from the first request.
      if (e.code != 0 && e.serial - FFirstRequest < FSyncedTo - FFirstRequest) {
        FError = e.code;
      }
    }
  }
  return FError != 0;
}

// --- The connection ---

std::unique_ptr<TX11Display> TX11Display::Open(const char* name) {
  Display* display = XOpenDisplay(name);
  if (display == nullptr) return nullptr;
  XSetErrorHandler(RecordError);
  return std::unique_ptr<TX11Display>(new TX11Display(display));
}

TX11Display::TX11Display(Display* display)
    : FDisplay(display),
      FScreen(DefaultScreen(display)),
      FRoot(RootWindow(display, FScreen)),
      FVisual(DefaultVisual(display, FScreen)),
      FDepth(DefaultDepth(display, FScreen)) {
  InternAtoms();
}

TX11Display::~TX11Display() {
  XCloseDisplay(FDisplay);
}

int TX11Display::Width() const {
  return DisplayWidth(FDisplay, FScreen);
}
int TX11Display::Height() const {
  return DisplayHeight(FDisplay, FScreen);
}

void TX11Display::InternAtoms() {
  const std::string traySelection = "_NET_SYSTEM_TRAY_S" + std::to_string(FScreen);
  const std::string compositorSelection = "_NET_WM_CM_S" + std::to_string(FScreen);
  struct {
    const char* name;
    Atom* atom;
  } const table[] = {
      {"WM_PROTOCOLS", &FAtoms.wmProtocols},
      {"WM_DELETE_WINDOW", &FAtoms.wmDeleteWindow},
      {"WM_STATE", &FAtoms.wmState},
      {"WM_CHANGE_STATE", &FAtoms.wmChangeState},
      {"_NET_WM_STATE", &FAtoms.netWmState},
      {"_NET_WM_STATE_SKIP_TASKBAR", &FAtoms.netWmStateSkipTaskbar},
      {"_NET_WM_STATE_SKIP_PAGER", &FAtoms.netWmStateSkipPager},
      {"_NET_WM_STATE_HIDDEN", &FAtoms.netWmStateHidden},
      {"_NET_WM_STATE_ABOVE", &FAtoms.netWmStateAbove},
      {"_NET_ACTIVE_WINDOW", &FAtoms.netActiveWindow},
      {"_NET_WM_NAME", &FAtoms.netWmName},
      {"_NET_WM_PID", &FAtoms.netWmPid},
      {"_NET_WM_USER_TIME", &FAtoms.netWmUserTime},
      {"_NET_WM_USER_TIME_WINDOW", &FAtoms.netWmUserTimeWindow},
      {"UTF8_STRING", &FAtoms.utf8String},
      {"_NET_WM_WINDOW_TYPE", &FAtoms.netWmWindowType},
      {"_NET_WM_WINDOW_TYPE_NORMAL", &FAtoms.netWmWindowTypeNormal},
      {"_NET_WM_WINDOW_TYPE_DIALOG", &FAtoms.netWmWindowTypeDialog},
      {"_NET_WM_WINDOW_TYPE_POPUP_MENU", &FAtoms.netWmWindowTypePopupMenu},
      {"_NET_WM_WINDOW_TYPE_TOOLTIP", &FAtoms.netWmWindowTypeTooltip},
      {"_NET_WM_WINDOW_TYPE_UTILITY", &FAtoms.netWmWindowTypeUtility},
      {"_MOTIF_WM_HINTS", &FAtoms.motifWmHints},
      {"_NET_SYSTEM_TRAY_OPCODE", &FAtoms.netSystemTrayOpcode},
      {"MANAGER", &FAtoms.manager},
      {"_XEMBED", &FAtoms.xembed},
      {"_XEMBED_INFO", &FAtoms.xembedInfo},
      {traySelection.c_str(), &FAtoms.netSystemTraySelection},
      {compositorSelection.c_str(), &FAtoms.netWmCmSelection},
      {"_CALVIX_CLASS", &FAtoms.calvixClass},
      {"_CALVIX_MESSAGE", &FAtoms.calvixMessage},
      {"_CALVIX_SHOW", &FAtoms.calvixShow},
      {"_CALVIX_TIME", &FAtoms.calvixTime},
  };
  constexpr int count = sizeof(table) / sizeof(table[0]);
  char* names[count];
  Atom atoms[count];
  for (int i = 0; i < count; ++i)
    names[i] = const_cast<char*>(table[i].name);
  XInternAtoms(FDisplay, names, count, False, atoms);
  for (int i = 0; i < count; ++i)
    *table[i].atom = atoms[i];
}

// --- Properties ---

void TX11Display::SetCardinals(Window w, Atom property, Atom type, const long* values,
                               int count) const {
  XChangeProperty(FDisplay, w, property, type, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(values), count);
}

void TX11Display::SetAtoms(Window w, Atom property, const std::vector<Atom>& atoms) const {
  // Xlib wants format-32 data as an array of C longs, which Atom is.
  XChangeProperty(FDisplay, w, property, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(atoms.data()), int(atoms.size()));
}

void TX11Display::SetBytes(Window w, Atom property, Atom type, const std::string& bytes) const {
  XChangeProperty(FDisplay, w, property, type, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size()));
}

bool TX11Display::GetBytes(Window w, Atom property, std::string& out, Atom* type) const {
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  // The length is in 32-bit units; a window text is capped far above anything Win32 reads.
  if (XGetWindowProperty(FDisplay, w, property, 0, 16384, False, AnyPropertyType, &actualType,
                         &format, &count, &after, &data) != Success) {
    return false;
  }
  const bool ok = actualType != None && format == 8;
  if (ok) out.assign(reinterpret_cast<const char*>(data), count);
  if (type != nullptr) *type = actualType;
  if (data != nullptr) XFree(data);
  return ok;
}

bool TX11Display::GetLongs(Window w, Atom property, std::vector<unsigned long>& out) const {
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(FDisplay, w, property, 0, 1024, False, AnyPropertyType, &actualType,
                         &format, &count, &after, &data) != Success) {
    return false;
  }
  const bool ok = actualType != None && format == 32;
  if (ok) {
    // Format-32 data comes back as C longs; only the low 32 bits carry the value.
    const long* values = reinterpret_cast<const long*>(data);
    out.resize(count);
    for (unsigned long i = 0; i < count; ++i)
      out[i] = static_cast<unsigned long>(values[i]) & 0xFFFFFFFFul;
  }
  if (data != nullptr) XFree(data);
  return ok;
}

Time TX11Display::ServerTime(Window w) const {
  XChangeProperty(FDisplay, w, FAtoms.calvixTime, XA_CARDINAL, 32, PropModeAppend, nullptr, 0);
  XEvent event;
  XIfEvent(
      FDisplay, &event,
      [](Display*, XEvent* e, XPointer arg) -> Bool {
        const auto* self = reinterpret_cast<const TX11Display*>(arg);
        return e->type == PropertyNotify && e->xproperty.atom == self->FAtoms.calvixTime;
      },
      reinterpret_cast<XPointer>(const_cast<TX11Display*>(this)));
  return event.xproperty.time;
}

bool TX11Display::SendClientMessage(Window target, Window about, Atom type, const long (&data)[5],
                                    long eventMask) const {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = about;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  for (int i = 0; i < 5; ++i)
    event.xclient.data.l[i] = data[i];
  return XSendEvent(FDisplay, target, False, eventMask, &event) != 0;
}

}  // namespace platform::x11

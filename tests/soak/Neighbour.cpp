// Another program on the soak's desktop, written straight on Xlib. "window" shows one ordinary
// window that the soak clicks to take the activation from Calvix; "hidden" keeps many hidden
// windows, as a desktop full of programs has; "churn" is a hostile neighbour that creates, renames
// and destroys hundreds of top-level windows a second, some of them hidden impostors of Calvix's
// application window that vanish within milliseconds. Test tooling (tests/soak).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <random>
#include <string>

namespace {

volatile sig_atomic_t stopRequested = 0;

void RequestStop(int) {
  stopRequested = 1;
}

int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;
}

using TClock = std::chrono::steady_clock;

void SetClass(Display* dpy, Window w, const char* name, const char* cls) {
  XClassHint hint{};
  hint.res_name = const_cast<char*>(name);
  hint.res_class = const_cast<char*>(cls);
  XSetClassHint(dpy, w, &hint);
}

// --- One ordinary window ---

int ShowWindow(Display* dpy, int x, int y, int width, int height, const char* name) {
  const int screen = DefaultScreen(dpy);
  const Window w = XCreateSimpleWindow(dpy, RootWindow(dpy, screen), x, y, unsigned(width),
                                       unsigned(height), 0, BlackPixel(dpy, screen), 0x808080);
  XSizeHints hints{};
  hints.flags = USPosition | PPosition | USSize | PSize;
  hints.x = x;
  hints.y = y;
  hints.width = width;
  hints.height = height;
  XSetWMNormalHints(dpy, w, &hints);
  XStoreName(dpy, w, name);
  SetClass(dpy, w, "soak_neighbour", "SoakNeighbour");
  XSelectInput(dpy, w, ExposureMask);
  XMapWindow(dpy, w);
  XFlush(dpy);
  while (!stopRequested) {
    pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
    poll(&fd, 1, 200);
    while (XPending(dpy) > 0) {
      XEvent event;
      XNextEvent(dpy, &event);
    }
  }
  return 0;
}

// --- Many quiet windows, as a desktop full of programs has ---

int HiddenWindows(Display* dpy, int count) {
  for (int i = 0; i < count; ++i) {
    const Window w = XCreateWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, CopyFromParent,
                                   InputOutput, CopyFromParent, 0, nullptr);
    SetClass(dpy, w, "soak_neighbour", "SoakNeighbour");
    XStoreName(dpy, w, ("hidden " + std::to_string(i)).c_str());
  }
  XFlush(dpy);
  while (!stopRequested) {
    pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
    poll(&fd, 1, 200);
    while (XPending(dpy) > 0) {
      XEvent event;
      XNextEvent(dpy, &event);
    }
  }
  return 0;
}

// --- The hostile neighbour ---

struct TLive {
  Window id;
  TClock::time_point end;
};

class TChurn {
 public:
  TChurn(Display* dpy, unsigned seed) : FDisplay(dpy), FRandom(seed) {
    FRoot = DefaultRootWindow(dpy);
    FCalvixClass = XInternAtom(dpy, "_CALVIX_CLASS", False);
    FCalvixShow = XInternAtom(dpy, "_CALVIX_SHOW", False);
    FCalvixMessage = XInternAtom(dpy, "_CALVIX_MESSAGE", False);
    FNetWmName = XInternAtom(dpy, "_NET_WM_NAME", False);
    FUtf8 = XInternAtom(dpy, "UTF8_STRING", False);
  }

  void Run(int perSecond) {
    constexpr int kTickMs = 10;
    const int perTick = std::max(1, perSecond * kTickMs / 1000);
    while (!stopRequested) {
      const auto now = TClock::now();
      for (int i = 0; i < perTick; ++i)
        Create(now);
      for (int i = 0; i < perTick; ++i)
        Rename();
      // Lives differ, so every window is looked at.
      for (auto it = FLive.begin(); it != FLive.end();) {
        if (it->end <= now) {
          XDestroyWindow(FDisplay, it->id);
          ++FDestroyed;
          it = FLive.erase(it);
        } else {
          ++it;
        }
      }
      XFlush(FDisplay);
      Drain();
      pollfd fd{ConnectionNumber(FDisplay), POLLIN, 0};
      poll(&fd, 1, kTickMs);
    }
    Drain();
    std::printf(
        "neighbour: %ld windows created (%ld impostors), %ld renamed, %ld destroyed; requests "
        "received by impostors: %ld show, %ld posted messages, %ld other\n",
        FCreated, FImpostors, FRenamed, FDestroyed, FShows, FMessages, FOthers);
  }

 private:
  int Chance() { return int(FRandom() % 100); }
  int Between(int low, int high) { return low + int(FRandom() % unsigned(high - low + 1)); }

  std::string RandomName() {
    static const char* const kNames[] = {
        "Calvix",       "calvix", "Calvix ", "Morvane Calvix", "Morvane Calvix - Freeware",
        "TApplication", "",       "x"};
    if (Chance() < 30) return kNames[FRandom() % (sizeof kNames / sizeof *kNames)];
    std::string name(size_t(Between(1, Chance() < 5 ? 400 : 30)), ' ');
    for (char& c : name)
      c = char(Between(0x20, 0xFF));
    return name;
  }

  void Create(TClock::time_point now) {
    XSetWindowAttributes attributes{};
    const int kind = Chance();
    const bool mapped = kind >= 90;  // small override-redirect windows in a corner
    attributes.override_redirect = mapped ? True : False;
    const Window w =
        XCreateWindow(FDisplay, FRoot, Between(0, 8), Between(0, 8), unsigned(Between(1, 8)),
                      unsigned(Between(1, 8)), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWOverrideRedirect, &attributes);
    ++FCreated;
    int lifeMs = Between(50, 2000);
    if (kind < 20) {
      // Looks like another copy of Calvix to a copy that reads the class Calvix keeps.
      XChangeProperty(FDisplay, w, FCalvixClass, XA_STRING, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>("TApplication"), 12);
      SetClass(FDisplay, w, "MorCalvix", "TApplication");
      XStoreName(FDisplay, w, "Calvix");
      lifeMs = Between(0, 30);
      ++FImpostors;
    } else if (kind < 40) {
      // Another program built with the same toolkit, titled like Calvix.
      SetClass(FDisplay, w, "impostor", kind < 35 ? "TApplication" : "TAPPLICATION");
      XStoreName(FDisplay, w, "Calvix");
      lifeMs = Between(0, 30);
      ++FImpostors;
    } else {
      SetClass(FDisplay, w, "soak_neighbour", "SoakNeighbour");
      const std::string name = RandomName();
      XStoreName(FDisplay, w, name.c_str());
    }
    if (mapped) XMapWindow(FDisplay, w);
    FLive.push_back({w, now + std::chrono::milliseconds(lifeMs)});
  }

  void Rename() {
    if (FLive.empty()) return;
    const Window w = FLive[FRandom() % FLive.size()].id;
    const std::string name = RandomName();
    if (Chance() < 20) {
      // A title in UTF-8 that is not always valid UTF-8.
      XChangeProperty(FDisplay, w, FNetWmName, FUtf8, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(name.data()), int(name.size()));
    } else {
      XStoreName(FDisplay, w, name.c_str());
    }
    ++FRenamed;
  }

  // Requests sent to the impostors come to this client, which made them; they are counted.
  void Drain() {
    while (XPending(FDisplay) > 0) {
      XEvent event;
      XNextEvent(FDisplay, &event);
      if (event.type != ClientMessage) continue;
      if (event.xclient.message_type == FCalvixShow)
        ++FShows;
      else if (event.xclient.message_type == FCalvixMessage)
        ++FMessages;
      else
        ++FOthers;
    }
  }

  Display* FDisplay;
  std::mt19937 FRandom;
  Window FRoot = 0;
  Atom FCalvixClass = 0, FCalvixShow = 0, FCalvixMessage = 0, FNetWmName = 0, FUtf8 = 0;
  std::deque<TLive> FLive;
  long FCreated = 0, FImpostors = 0, FRenamed = 0, FDestroyed = 0;
  long FShows = 0, FMessages = 0, FOthers = 0;
};

}  // namespace

int main(int argc, char** argv) {
  signal(SIGTERM, RequestStop);
  signal(SIGINT, RequestStop);
  Display* dpy = XOpenDisplay(nullptr);
  if (dpy == nullptr) {
    std::fprintf(stderr, "neighbour: no display\n");
    return 1;
  }
  XSetErrorHandler(IgnoreErrors);
  const std::string mode = argc > 1 ? argv[1] : "";
  int status = 2;
  if (mode == "window" && argc == 7) {
    status = ShowWindow(dpy, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                        std::atoi(argv[5]), argv[6]);
  } else if (mode == "hidden" && argc == 3) {
    status = HiddenWindows(dpy, std::atoi(argv[2]));
  } else if (mode == "churn" && argc == 4) {
    TChurn churn(dpy, unsigned(std::strtoul(argv[3], nullptr, 10)));
    churn.Run(std::atoi(argv[2]));
    status = 0;
  } else {
    std::fprintf(
        stderr,
        "usage: soak_neighbour window X Y W H NAME | hidden COUNT | churn PER_SECOND SEED\n");
  }
  XCloseDisplay(dpy);
  return status;
}

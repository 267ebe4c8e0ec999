// The other programs' windows as the X11 driver sees them: the walk of every top-level window
// in stacking order (managed windows found inside their window-manager frames), what a window
// is called, and messages and show requests to it. Internal to platform/x11.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Driver.h"

namespace platform::x11 {

class TX11Display;

// One top-level window found by the walk: the root's child (a frame or the window itself) and
// the client window inside it that the program made.
struct TTopLevel {
  Window frame = 0;
  Window client = 0;
};

// Every child of the root, top of the stacking order first, each resolved to its client
// window. Windows that vanish during the walk are skipped.
std::vector<TTopLevel> WalkTopLevels(const TX11Display& display);

// What each window is called and how it stands, asked of the server all at once (one round
// trip for any number of windows); empty for a window that no longer exists. The class is the
// one our programs store in their own property, else the X class hint's class part; the text is
// in Windows-1252, from the UTF-8 name, else the ISO 8859-1 one.
std::vector<std::optional<ForeignWindow>> DescribeWindows(const TX11Display& display,
                                                          const std::vector<Window>& windows);
// The same for one window; false when it no longer exists.
bool DescribeWindow(const TX11Display& display, Window w, ForeignWindow& out);

// A message posted across processes: the message number and both parameters, whose 64 bits
// travel as low and high halves, since Xlib passes each 32-bit field as a sign-extended long.
struct TPostedMessage {
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
void EncodePostedMessage(const TPostedMessage& message, long (&data)[5]);
TPostedMessage DecodePostedMessage(const long (&data)[5]);

}  // namespace platform::x11

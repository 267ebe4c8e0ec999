// What the X11 driver last read about the desktop's top-level windows: the stacking walk and the
// description of each window asked about. A walk over every window (GetWindow in a loop, with
// the class and text of each step) asks for the same things again and again, and each answer
// costs the server several round trips; the snapshot answers from one reading until something
// may have changed: the program looks at its queue (events may have come), sends a request of
// its own, or a short time passes. Internal to platform/x11.
#pragma once

#include <X11/Xlib.h>

#include <map>
#include <optional>
#include <vector>

#include "platform/Driver.h"
#include "platform/x11/X11Windows.h"

namespace platform::x11 {

class TX11Display;

class TX11Snapshot {
 public:
  // How long a reading stands for other programs' changes, which send this process no events:
  // long enough for a walk over every window, short enough for a loop that waits for a change.
  static constexpr DWORD kLifetime = 100;

  explicit TX11Snapshot(const TX11Display& display) : FDisplay(display) {}

  // Every child of the root, top first (WalkTopLevels), as read at most kLifetime ago.
  const std::vector<TTopLevel>& TopLevels(DWORD now);
  // DescribeWindow, remembered for the window; false when it no longer exists.
  bool Describe(Window w, ForeignWindow& out, DWORD now);
  // Drops what was read: the program looks at its queue, where news of changes arrives.
  void Forget() { FTaken = false; }

 private:
  // Starts a new reading unless the last one still stands: taken less than kLifetime ago, and
  // no request sent since but the reading's own (any other could have changed a window).
  void Refresh(DWORD now);
  void Settle();

  const TX11Display& FDisplay;
  bool FTaken = false;
  DWORD FTakenAt = 0;
  unsigned long FNextRequest = 0;  // the connection's next request number after the reading
  std::optional<std::vector<TTopLevel>> FTopLevels;
  std::map<Window, std::optional<ForeignWindow>> FDescriptions;  // empty: the window is gone
};

}  // namespace platform::x11

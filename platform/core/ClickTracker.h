// Tells a double click from two single clicks, the way Windows does: the second press of the
// same button, inside the double-click time and inside a small rectangle centred on the first
// press. Internal to platform/ (portable core; the X11 driver's tray icon uses it too).
#pragma once

#include <cstdint>

namespace platform {

class TClickTracker {
 public:
  struct TRules {
    uint32_t time = 500;  // milliseconds, GetDoubleClickTime
    int width = 4;        // SM_CXDOUBLECLK
    int height = 4;       // SM_CYDOUBLECLK
  };

  // A press of `button` at `time` (milliseconds on a clock that wraps at 32 bits) and at the
  // point x, y; true when it completes a double click. The press after a double click starts
  // over, so a triple click is a double click and then a single press.
  bool Press(int button, uint32_t time, int x, int y, const TRules& rules) {
    // Unsigned subtraction keeps the comparison right when the clock wraps.
    const bool isDouble = FPending && button == FButton && time - FTime <= rules.time &&
                          2 * Distance(x, FX) <= rules.width && 2 * Distance(y, FY) <= rules.height;
    FPending = !isDouble;
    FButton = button;
    FTime = time;
    FX = x;
    FY = y;
    return isDouble;
  }

  // Forgets the last press, so that the next one is a single press whatever its time.
  void Reset() { FPending = false; }

 private:
  static int Distance(int a, int b) { return a > b ? a - b : b - a; }

  bool FPending = false;
  int FButton = 0;
  uint32_t FTime = 0;
  int FX = 0;
  int FY = 0;
};

}  // namespace platform

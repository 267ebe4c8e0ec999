// The X11 driver's reading of the desktop's top-level windows, kept for a walk over them.
// Internal to platform/x11.
#include "platform/x11/X11Snapshot.h"

#include "platform/x11/X11Display.h"

namespace platform::x11 {

void TX11Snapshot::Refresh(DWORD now) {
  if (FTaken && now - FTakenAt < kLifetime && NextRequest(FDisplay.Dpy()) == FNextRequest) return;
  FTopLevels.reset();
  FDescriptions.clear();
  FTaken = true;
  FTakenAt = now;
}

void TX11Snapshot::Settle() {
  // The reading's own requests change nothing on the desktop.
  FNextRequest = NextRequest(FDisplay.Dpy());
}

const std::vector<TTopLevel>& TX11Snapshot::TopLevels(DWORD now) {
  Refresh(now);
  if (!FTopLevels) {
    FTopLevels = WalkTopLevels(FDisplay);
    Settle();
  }
  return *FTopLevels;
}

bool TX11Snapshot::Describe(Window w, ForeignWindow& out, DWORD now) {
  Refresh(now);
  auto it = FDescriptions.find(w);
  if (it == FDescriptions.end()) {
    ForeignWindow read;
    std::optional<ForeignWindow> found;
    if (DescribeWindow(FDisplay, w, read)) found = read;
    it = FDescriptions.emplace(w, found).first;
    Settle();
  }
  if (!it->second) return false;
  out = *it->second;
  return true;
}

}  // namespace platform::x11

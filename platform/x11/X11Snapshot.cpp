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
    // A walk asks about the windows one after another: every window of the reading not yet
    // described is described with this one, in one round trip.
    std::vector<Window> asked{w};
    if (FTopLevels)
      for (const TTopLevel& top : *FTopLevels)
        if (top.client != w && !FDescriptions.contains(top.client)) asked.push_back(top.client);
    std::vector<std::optional<ForeignWindow>> read = DescribeWindows(FDisplay, asked);
    for (std::size_t i = 0; i < asked.size(); ++i)
      FDescriptions.emplace(asked[i], std::move(read[i]));
    it = FDescriptions.find(w);
    Settle();
  }
  if (!it->second) return false;
  out = *it->second;
  return true;
}

}  // namespace platform::x11

// Double clicks by Windows' rules: same button, inside the time and the small rectangle.
#include "platform/core/ClickTracker.h"

#include <gtest/gtest.h>

using platform::TClickTracker;

TEST(ClickTracker, SecondPressInsideTimeAndRectangleIsADoubleClick) {
  TClickTracker clicks;
  const TClickTracker::TRules rules;
  EXPECT_FALSE(clicks.Press(1, 1000, 10, 10, rules));
  EXPECT_TRUE(clicks.Press(1, 1500, 12, 8, rules));
  // The third press starts over, as a triple click does on Windows.
  EXPECT_FALSE(clicks.Press(1, 1600, 12, 8, rules));
}

TEST(ClickTracker, TooLateTooFarOrAnotherButtonIsASinglePress) {
  const TClickTracker::TRules rules;
  TClickTracker late, far, other;
  late.Press(1, 1000, 10, 10, rules);
  EXPECT_FALSE(late.Press(1, 1501, 10, 10, rules));
  far.Press(1, 1000, 10, 10, rules);
  EXPECT_FALSE(far.Press(1, 1100, 13, 10, rules));
  other.Press(1, 1000, 10, 10, rules);
  EXPECT_FALSE(other.Press(3, 1100, 10, 10, rules));
  // A press that failed to pair becomes the first of the next pair.
  EXPECT_TRUE(other.Press(3, 1200, 10, 10, rules));
}

TEST(ClickTracker, TheClockWrappingBetweenPressesDoesNotBreakThePair) {
  TClickTracker clicks;
  const TClickTracker::TRules rules;
  clicks.Press(1, 0xFFFFFF00u, 0, 0, rules);
  EXPECT_TRUE(clicks.Press(1, 0x00000010u, 0, 0, rules));
  clicks.Reset();
  EXPECT_FALSE(clicks.Press(1, 0x00000020u, 0, 0, rules));
}

// The generator's shapes at the points their callers rely on: boxes on pixel edges, the open
// side of a ring, and the direction of a quarter turn.
#include "assets/Shapes.h"

#include <gtest/gtest.h>

namespace {

using namespace assets;

bool Inside(const TShape& shape, float x, float y) {
  return shape.distance(x, y) < 0;
}

TEST(ShapesTest, BoxesCoverWholePixelsAndRoundTheirCorners) {
  const TShape box = Box(3, 88, 353, 239, 0);
  EXPECT_TRUE(Inside(box, 3.1f, 88.1f));
  EXPECT_TRUE(Inside(box, 352.9f, 238.9f));
  EXPECT_FALSE(Inside(box, 2.9f, 100));
  EXPECT_FALSE(Inside(box, 353.1f, 100));
  const TShape rounded = Box(0, 0, 20, 20, 5);
  EXPECT_FALSE(Inside(rounded, 0.5f, 0.5f));
  EXPECT_TRUE(Inside(rounded, 5, 0.5f));
  EXPECT_NEAR(Grow(rounded, 2).distance(10, -1), -1, 1e-5);
  EXPECT_TRUE(Inside(Rim(rounded, 1), 10, 0.5f));
  EXPECT_FALSE(Inside(Rim(rounded, 1), 10, 1.5f));
}

TEST(ShapesTest, AnOpenRingIsOpenOnTheRightWithRoundEnds) {
  const TShape ring = OpenRing(0, 0, 10, 2, 1);  // open between -45 and +45 degrees
  EXPECT_TRUE(Inside(ring, -10, 0));
  EXPECT_TRUE(Inside(ring, 0, 10));
  EXPECT_FALSE(Inside(ring, 10, 0));
  EXPECT_TRUE(Inside(ring, 7.07f, 7.07f)) << "the rounded end";
  EXPECT_FALSE(Inside(ring, 8.5f, 5.5f));
}

TEST(ShapesTest, AQuarterTurnTakesTheRightSideUp) {
  const TShape dot = Circle(10, 0, 1);  // right of the centre
  const TShape turned = QuarterTurn(dot, 0, 0);
  EXPECT_TRUE(Inside(turned, 0, -10));
  EXPECT_FALSE(Inside(turned, 10, 0));
  EXPECT_NEAR(turned.left, -1, 1e-5);
  EXPECT_NEAR(turned.right, 1, 1e-5);
  EXPECT_NEAR(turned.top, -11, 1e-5);
  EXPECT_NEAR(turned.bottom, -9, 1e-5);
}

}  // namespace

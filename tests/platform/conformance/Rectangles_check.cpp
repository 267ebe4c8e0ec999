// The rectangle helpers as the Win32 reference answers: the right and bottom edges lie
// outside, empty sources and empty results, and what a union leaves out.
#include "tests/platform/conformance/Check.h"

namespace {

bool Is(const RECT& r, LONG left, LONG top, LONG right, LONG bottom) {
  return r.left == left && r.top == top && r.right == right && r.bottom == bottom;
}

}  // namespace

CONFORMANCE_CASE(PtInRectLeavesTheRightAndBottomEdgesOutside) {
  const RECT r = {10, 20, 30, 40};
  CHECK(PtInRect(&r, POINT{10, 20}));
  CHECK(PtInRect(&r, POINT{29, 39}));
  CHECK(!PtInRect(&r, POINT{30, 20}));
  CHECK(!PtInRect(&r, POINT{10, 40}));
  CHECK(!PtInRect(&r, POINT{9, 25}));
  const RECT flipped = {30, 40, 10, 20};
  CHECK(!PtInRect(&flipped, POINT{20, 30}));
  CHECK(IsRectEmpty(&flipped));
  const RECT line = {5, 5, 5, 9};
  CHECK(IsRectEmpty(&line));
  CHECK(!PtInRect(&line, POINT{5, 6}));
}

CONFORMANCE_CASE(IntersectRectEmptiesItsResultWhenNothingIsShared) {
  const RECT a = {0, 0, 10, 10}, b = {5, 5, 20, 20}, apart = {10, 0, 20, 10};
  RECT out = {1, 2, 3, 4};
  CHECK(IntersectRect(&out, &a, &b));
  CHECK(Is(out, 5, 5, 10, 10));
  // Touching edges share nothing, since the right edge is outside.
  out = RECT{1, 2, 3, 4};
  CHECK(!IntersectRect(&out, &a, &apart));
  CHECK(Is(out, 0, 0, 0, 0));
  // An empty source inside the other still gives nothing.
  const RECT line = {5, 0, 5, 10};
  out = RECT{1, 2, 3, 4};
  CHECK(!IntersectRect(&out, &a, &line));
  CHECK(Is(out, 0, 0, 0, 0));
  // The result may be one of the sources.
  RECT c = b;
  CHECK(IntersectRect(&c, &c, &a));
  CHECK(Is(c, 5, 5, 10, 10));
}

CONFORMANCE_CASE(UnionRectLeavesEmptySourcesOut) {
  const RECT a = {0, 0, 10, 10}, b = {20, 5, 30, 15}, line = {-50, -50, -50, 60};
  RECT out = {};
  CHECK(UnionRect(&out, &a, &b));
  CHECK(Is(out, 0, 0, 30, 15));
  CHECK(UnionRect(&out, &line, &b));
  CHECK(Is(out, 20, 5, 30, 15));
  CHECK(UnionRect(&out, &a, &line));
  CHECK(Is(out, 0, 0, 10, 10));
  const RECT flipped = {10, 10, 0, 0};
  out = RECT{1, 2, 3, 4};
  CHECK(!UnionRect(&out, &line, &flipped));
  CHECK(Is(out, 0, 0, 0, 0));
}

CONFORMANCE_CASE(OffsetInflateAndEqualRectMoveEveryEdge) {
  RECT r;
  CHECK(SetRect(&r, 1, 2, 3, 4));
  CHECK(OffsetRect(&r, 10, -2));
  CHECK(Is(r, 11, 0, 13, 2));
  CHECK(InflateRect(&r, 2, -1));
  CHECK(Is(r, 9, 1, 15, 1));
  const RECT same = {9, 1, 15, 1};
  CHECK(EqualRect(&r, &same));
  CHECK(SetRectEmpty(&r));
  CHECK(Is(r, 0, 0, 0, 0));
  // Two empty rectangles of different corners are not equal: every edge is compared.
  const RECT otherEmpty = {3, 3, 3, 3};
  CHECK(!EqualRect(&r, &otherEmpty));
}

// Messages posted to another process travel in 32-bit fields that Xlib sign-extends.
#include <gtest/gtest.h>

// After GoogleTest: the X headers define macros (None, Bool) that its own names would meet.
#include "platform/x11/X11Windows.h"

using namespace platform::x11;

TEST(X11Windows, PostedMessagesSurviveSignExtensionOfEveryField) {
  TPostedMessage sent;
  sent.msg = 0x2B4C;
  sent.wParam = WPARAM(0x00007F1280000001ull);
  sent.lParam = LPARAM(-2);
  long data[5];
  EncodePostedMessage(sent, data);
  // What the receiver's Xlib hands over: each 32-bit field sign-extended to a long.
  for (long& field : data)
    field = long(int32_t(uint32_t(field)));
  const TPostedMessage got = DecodePostedMessage(data);
  EXPECT_EQ(got.msg, sent.msg);
  EXPECT_EQ(got.wParam, sent.wParam);
  EXPECT_EQ(got.lParam, sent.lParam);
}

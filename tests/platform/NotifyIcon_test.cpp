// Shell_NotifyIconA on the headless desktop: what the shell is asked, partial changes, the tip's
// limit, failing without a notification area, and the callbacks reaching the owner.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/win32.h"

namespace {

constexpr UINT kCallback = WM_USER + 100;

std::vector<MSG> received;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kCallback) received.push_back(MSG{hwnd, msg, wParam, lParam, 0, {}});
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class NotifyIcon : public testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    received.clear();
    WNDCLASSA cls{};
    cls.lpfnWndProc = OwnerProc;
    cls.lpszClassName = "TrayOwner";
    RegisterClassA(&cls);
    FOwner = CreateWindowExA(0, "TrayOwner", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                             nullptr);
  }

  NOTIFYICONDATAA Data(UINT flags, const char* tip = "Morvane Calvix") const {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = FOwner;
    data.uID = 42;
    data.uFlags = flags;
    data.uCallbackMessage = kCallback;
    std::strncpy(data.szTip, tip, sizeof data.szTip - 1);
    return data;
  }

  HWND FOwner = nullptr;
};

}  // namespace

TEST_F(NotifyIcon, AddModifyDeleteAreRecordedAndModifyKeepsWhatItsFlagsLeaveOut) {
  NOTIFYICONDATAA data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &data)) << "the same owner and id twice";
  EXPECT_TRUE(headless::TrayIconShown(FOwner, 42));

  NOTIFYICONDATAA tipOnly = Data(NIF_TIP, "Novo");
  tipOnly.uCallbackMessage = 0;  // not named by the flags: must not clear the callback
  ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &tipOnly));
  const auto calls = headless::TrayCalls();
  ASSERT_EQ(calls.size(), 2u) << "the repeated add never reaches the shell";
  EXPECT_EQ(calls[1].message, DWORD(NIM_MODIFY));
  EXPECT_EQ(calls[1].tip, "Novo");
  EXPECT_EQ(calls[1].callbackMessage, kCallback);
  EXPECT_TRUE(calls[0].succeeded && calls[1].succeeded);

  EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &data));
  EXPECT_FALSE(headless::TrayIconShown(FOwner, 42));
}

TEST_F(NotifyIcon, TheTipKeepsSixtyThreeCharactersEvenWithoutItsTerminatingZero) {
  NOTIFYICONDATAA data = Data(NIF_TIP);
  std::memset(data.szTip, 'x', sizeof data.szTip);  // no zero anywhere in the first form's 64
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  EXPECT_EQ(headless::TrayCalls().back().tip, std::string(63, 'x'));
}

TEST_F(NotifyIcon, BadRecordsAndAMissingNotificationAreaFail) {
  NOTIFYICONDATAA data = Data(NIF_TIP);
  data.cbSize = 40;
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &data));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, nullptr));
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  EXPECT_FALSE(Shell_NotifyIconA(NIM_SETVERSION, &data));

  headless::SetTrayHost(false);
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &data));
  headless::SetTrayHost(true);
  EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &data)) << "a refused add leaves nothing behind";
}

TEST_F(NotifyIcon, CallbacksArriveAsPostedMessagesWithTheIdAndTheMouseMessage) {
  NOTIFYICONDATAA data = Data(NIF_MESSAGE | NIF_TIP);
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  ASSERT_TRUE(headless::PostTrayCallback(FOwner, 42, WM_LBUTTONDBLCLK));
  ASSERT_TRUE(headless::PostTrayCallback(FOwner, 42, WM_RBUTTONDOWN));
  EXPECT_FALSE(headless::PostTrayCallback(FOwner, 7, WM_RBUTTONDOWN)) << "no such icon";
  EXPECT_TRUE(received.empty()) << "posted, not sent";
  headless::RunPending();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].wParam, WPARAM(42));
  EXPECT_EQ(received[0].lParam, LPARAM(WM_LBUTTONDBLCLK));
  EXPECT_EQ(received[1].lParam, LPARAM(WM_RBUTTONDOWN));
}

#include "platform/MessagePump.h"

#include <gtest/gtest.h>

namespace folianto {
namespace {

int g_quitCode = -1;

TEST(MessagePump, RunsPendingMessagesAndHandsAQuitToTheQuitHandler) {
  const HWND window =
      ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  ::PostQuitMessage(7);
  SetQuitHandler([](int code) { g_quitCode = code; });
  PumpPendingMessages();
  SetQuitHandler(nullptr);

  EXPECT_FALSE(::IsWindow(window)) << "the posted WM_CLOSE did not run";
  EXPECT_EQ(g_quitCode, 7);
}

}  // namespace
}  // namespace folianto

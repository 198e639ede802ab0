#include "platform/MessagePump.h"

#include <gtest/gtest.h>

#include "support/WinTestSupport.h"

namespace folianto {
namespace {

// No window is registered with the pump: it finds the dialog manager of each message's own
// top-level window. (A WM_QUIT in the pump ends the program; join_quit_probe shows that.)
TEST(MessagePump, RunsPendingMessagesThroughTheirWindowsDialogManager) {
  testing::TestForm app;
  Form1& form = *app.form;
  ASSERT_EQ(::GetFocus(), form.Command1);
  ::PostMessageW(form.Command1, WM_KEYDOWN, VK_TAB, 0);
  ::PostMessageW(form.Command1, WM_KEYUP, VK_TAB, 0xC0000001);
  PumpPendingMessages();
  EXPECT_EQ(::GetFocus(), form.Check1.Handle()) << "Tab moved the focus";

  const HWND other =
      ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(other);
  ::PostMessageW(other, WM_CLOSE, 0, 0);
  PumpPendingMessages();
  EXPECT_FALSE(::IsWindow(other)) << "the posted WM_CLOSE did not run";
}

}  // namespace
}  // namespace folianto

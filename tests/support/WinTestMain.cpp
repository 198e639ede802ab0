// The entry point of the Win32 test programs: the same set-up as the program's own start.
#include <gtest/gtest.h>

#include "platform/UiThread.h"

int wmain(int argc, wchar_t** argv) {
  const folianto::UiThreadSetup uiThread;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

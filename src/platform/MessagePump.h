#pragma once

#include <windows.h>

#include <functional>

namespace folianto {

// Runs the thread's messages until WM_QUIT; returns its exit code. Each message goes through the
// dialog manager of its top-level window, so Tab, Enter and the space bar work on the controls.
int RunMessageLoop();

// Keys that window takes as WM_COMMAND wherever the focus is in it, in every loop that runs its
// messages. Null forgets them.
void UseAccelerators(HWND window, HACCEL accelerators);

// Lets every pending message run, for waits that must keep the window alive. A WM_QUIT met here
// ends the program at once, as closing the window must, however deep the wait is nested: only the
// work of every FinishBeforeQuit alive then is done first, without a window.
void PumpPendingMessages();

// Work that must not be lost when the window is closed during a wait, such as giving a file the
// tool is still writing its name. While an instance lives, a WM_QUIT met by PumpPendingMessages
// runs its work, the latest instance's first, before the program ends.
class FinishBeforeQuit {
 public:
  explicit FinishBeforeQuit(std::function<void()> work);
  ~FinishBeforeQuit();
  FinishBeforeQuit(const FinishBeforeQuit&) = delete;
  FinishBeforeQuit& operator=(const FinishBeforeQuit&) = delete;

 private:
  friend void PumpPendingMessages();
  std::function<void()> work_;
};

}  // namespace folianto

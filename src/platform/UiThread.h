#pragma once

namespace folianto {

// What the user-interface thread needs before its first window, undone at the end of the scope:
// the common controls, and COM once something has started it (StartComOnUiThread).
class UiThreadSetup {
 public:
  UiThreadSetup();
  ~UiThreadSetup();
  UiThreadSetup(const UiThreadSetup&) = delete;
  UiThreadSetup& operator=(const UiThreadSetup&) = delete;
};

// Starts COM, apartment-threaded, on the calling user-interface thread the first time something
// needs it, so the window opens without loading COM. True when COM is running on the thread.
bool StartComOnUiThread();

}  // namespace folianto

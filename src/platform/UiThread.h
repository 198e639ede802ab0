#pragma once

namespace folianto {

// What the user-interface thread needs before its first window, undone at the end of the scope:
// COM, apartment-threaded, for the shell's folder picker, and the common controls.
class UiThreadSetup {
 public:
  UiThreadSetup();
  ~UiThreadSetup();
  UiThreadSetup(const UiThreadSetup&) = delete;
  UiThreadSetup& operator=(const UiThreadSetup&) = delete;

 private:
  bool comInitialized_ = false;
};

}  // namespace folianto

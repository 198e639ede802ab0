#pragma once

#include <windows.h>

#include <optional>

#include "platform/Accessibility.h"

namespace folianto {

// What screen readers hear: where the focus rests when the window opens, what the program is and
// how to go on; the list as "PDF File(s)". The progress bar is named after Label1 by the system.
class ScreenReaderNames {
 public:
  // The controls to name, once they are made.
  void Attach(HWND wayIn, HWND list) {
    wayIn_ = wayIn;
    list_ = list;
  }
  // Names the controls, unless that was done or cannot be; nothing before they are made.
  void Name();
  // Takes the names off again, before the controls are destroyed.
  void Clear();
  // How the naming fared; empty while none has been asked for.
  std::optional<Annotation> Result() const { return annotation_; }

 private:
  HWND wayIn_ = nullptr;
  HWND list_ = nullptr;
  std::optional<Annotation> annotation_;
};

}  // namespace folianto

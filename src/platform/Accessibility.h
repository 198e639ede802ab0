#pragma once

#include <windows.h>

#include <initializer_list>

namespace folianto {

struct AccessibleName {
  HWND control;
  const wchar_t* name;
};

// Tells screen readers what the controls are (Direct Annotation): each control of names is read
// out by its name, and each of hidden, which holds the focus only for the program's sake, is not
// offered as something to use. The accessibility component is loaded for this alone, and COM
// starts on the user-interface thread if it has not yet. False where the component or a call
// fails; the window works the same without it.
bool AnnotateForScreenReaders(std::initializer_list<AccessibleName> names,
                              std::initializer_list<HWND> hidden);

// Whether a screen reader says it is running (SPI_GETSCREENREADER).
bool ScreenReaderRunning();

}  // namespace folianto

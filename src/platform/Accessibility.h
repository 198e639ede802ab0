#pragma once

#include <windows.h>

#include <initializer_list>

namespace folianto {

// What a screen reader says for a control: its name, and where given, a description read after it.
struct AccessibleText {
  HWND control;
  const wchar_t* name;
  const wchar_t* description = nullptr;
};

enum class Annotation {
  Done,
  Failed,       // asking again may help
  Unsupported,  // no accessibility component, or one without annotations: asking again cannot
};

// Tells screen readers what the controls are (Direct Annotation). The accessibility component is
// loaded for this alone, and COM starts on the user-interface thread if it has not yet. The window
// works the same without it.
Annotation AnnotateForScreenReaders(std::initializer_list<AccessibleText> controls);

// Takes the annotations off the controls again, before they are destroyed.
void ClearScreenReaderAnnotations(std::initializer_list<HWND> controls);

// Whether a screen reader says it is running (SPI_GETSCREENREADER).
bool ScreenReaderRunning();

}  // namespace folianto

#pragma once

#include <windows.h>

namespace folianto {

// The window whose controls Tab, Enter and the space bar work on, through the dialog manager.
void SetDialogWindow(HWND window);
// Forgets window as the dialog window, if it is the one; for a window that goes away.
void ForgetDialogWindow(HWND window);

// The program's main loop: runs until WM_QUIT and returns its exit code.
int RunMessageLoop();

// Lets every pending message run, for waits that must keep the window alive. A WM_QUIT met here
// ends the program at once, as closing the window must, however deep the wait is nested.
void PumpPendingMessages();

// What PumpPendingMessages does with a WM_QUIT; ExitProcess unless a test puts in its own.
using QuitHandler = void (*)(int exitCode);
void SetQuitHandler(QuitHandler handler);

}  // namespace folianto

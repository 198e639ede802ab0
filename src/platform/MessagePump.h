#pragma once

#include <windows.h>

#include <span>

namespace folianto {

// Runs the thread's messages until WM_QUIT; returns its exit code. Each message goes through the
// dialog manager of its top-level window, so Tab, Enter and the space bar work on the controls.
int RunMessageLoop();

// Keys that window takes as WM_COMMAND wherever the focus is in it, in every loop that runs its
// messages. Null forgets them.
void UseAccelerators(HWND window, HACCEL accelerators);

// Lets every pending message run, for waits that must keep the window alive; false when there was
// none. A WM_QUIT met here ends the program at once, however deep the wait is nested.
bool PumpPendingMessages();

// Returns when handle is signalled, true (a mutex its owner left without letting go counts, and is
// then had), or cannot be waited for or timeoutMs have passed, false, with the system's error left
// for GetLastError. Meanwhile it wakes as soon as the handle is signalled or a message comes, and
// runs the messages; a WM_QUIT ends the program, as above.
bool WaitRunningMessages(HANDLE handle, DWORD timeoutMs = INFINITE);
// The same for the first of handles to be signalled: its position, or -1.
int WaitRunningMessages(std::span<const HANDLE> handles, DWORD timeoutMs = INFINITE);

}  // namespace folianto

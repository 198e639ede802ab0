#pragma once

#include <windows.h>

namespace folianto {

// The window's dpi. Before Windows 10 version 1607 the system cannot tell a window's own: then it
// is the dpi of the screen the window is on (Windows 8.1 and later), or on Windows 7 and 8 the
// system's.
UINT DpiForWindow(HWND window);

// The system's dpi (GetDeviceCaps): in this per-monitor aware program, the dpi the primary screen
// had when the user signed in, not that of any other screen.
UINT ScreenDpi();

// The outer size of a window with the given client size at the given dpi.
SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

// The size of a pointer image at the given dpi, as the user's settings make it.
int PointerSizeForDpi(UINT dpi);

}  // namespace folianto

#pragma once

#include <windows.h>

namespace folianto {

// The window's dpi; where the system cannot tell a window's own (before Windows 10 version
// 1607), the screen's.
UINT DpiForWindow(HWND window);

// The dpi of the screen, which a window takes when it opens on the primary screen.
UINT ScreenDpi();

// The outer size of a window with the given client size at the given dpi.
SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

// The size of a pointer image at the given dpi, as the user's settings make it.
int PointerSizeForDpi(UINT dpi);

}  // namespace folianto

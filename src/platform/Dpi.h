#pragma once

#include <windows.h>

namespace folianto {

// The window's dpi; 96 where the system cannot say (older Windows).
UINT DpiForWindow(HWND window);

// The outer size of a window with the given client size at the given dpi.
SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace folianto

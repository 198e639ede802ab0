#pragma once

#include <windows.h>

namespace folianto {

// Moves the window to the middle of the whole primary screen (the task bar is not allowed for).
void CenterForm(HWND window);

}  // namespace folianto

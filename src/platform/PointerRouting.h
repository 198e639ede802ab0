#pragma once

#include <windows.h>

namespace folianto {

// Makes control ask its top-level window about the pointer before it sets one of its own, as
// DefWindowProc does for most controls through their parents. A list view's header sets its
// pointer itself and asks no one, so a window that decides the pointer over its whole area needs
// this to reach the header. The top-level window returns TRUE from WM_SETCURSOR when it has set
// the pointer; otherwise the control goes on as it would.
bool LetWindowChoosePointerOver(HWND control);

}  // namespace folianto

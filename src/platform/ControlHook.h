#pragma once

#include <windows.h>

#include <initializer_list>

namespace folianto {

// What the window adds to a common control's own behaviour. Both go through one plain
// window-procedure subclass per control, unhooked at WM_NCDESTROY: the common-controls subclass
// chain (SetWindowSubclass, TTF_SUBCLASS) costs about 0.1 ms per message under Wine, which made
// filling the list 30 times slower.

// Shows text in a tooltip of owner's while the mouse rests on any of controls. The tooltip window
// is made when the mouse first comes over one of them, so the window opens without it.
bool AddTooltip(HWND owner, std::initializer_list<HWND> controls, const wchar_t* text);

// The tooltip shown over control; null until the mouse has come over it.
HWND TooltipOver(HWND control);

// Makes control ask its top-level window about the pointer before it sets one of its own, as
// DefWindowProc does for most controls through their parents. A list view's header sets its
// pointer itself and asks no one, so a window that decides the pointer over its whole area needs
// this to reach the header. The top-level window returns TRUE from WM_SETCURSOR when it has set
// the pointer; otherwise the control goes on as it would.
bool LetWindowChoosePointerOver(HWND control);

}  // namespace folianto

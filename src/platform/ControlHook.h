#pragma once

#include <windows.h>

#include <initializer_list>

namespace folianto {

// What the window adds to a common control's own behaviour: a tooltip, and a say in the pointer,
// both through one window-procedure hook per control, taken off at WM_NCDESTROY.

// Shows text in a tooltip of owner's while the mouse rests on any of controls. The tooltip window
// is made when the mouse first comes over one of them, so the window opens without it.
bool AddTooltip(HWND owner, std::initializer_list<HWND> controls, const wchar_t* text);

// The tooltip shown over control; null until the mouse has come over it.
HWND TooltipOver(HWND control);

// Makes control ask its top-level window about the pointer before it sets one of its own, as
// DefWindowProc does for most controls through their parents; a list view's header asks no one.
// The window returns TRUE from WM_SETCURSOR when it has set the pointer; otherwise the control
// goes on as it would.
bool LetWindowChoosePointerOver(HWND control);

}  // namespace folianto

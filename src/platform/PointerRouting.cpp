#include "platform/PointerRouting.h"

#include <commctrl.h>

namespace folianto {

namespace {

LRESULT CALLBACK AskWindowFirst(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) {
  if (message == WM_SETCURSOR &&
      ::SendMessageW(::GetAncestor(control, GA_ROOT), WM_SETCURSOR, wParam, lParam)) {
    return TRUE;
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(control, AskWindowFirst, 0);
  return ::DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

bool LetWindowChoosePointerOver(HWND control) {
  return control && ::SetWindowSubclass(control, AskWindowFirst, 0, 0);
}

}  // namespace folianto

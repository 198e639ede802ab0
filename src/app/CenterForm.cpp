#include "app/CenterForm.h"

#include "app/Layout.h"

namespace folianto {

void CenterForm(HWND window) {
  RECT outer;
  if (!::GetWindowRect(window, &outer)) return;
  const int left = CenteredOffset(::GetSystemMetrics(SM_CXSCREEN), outer.right - outer.left);
  const int top = CenteredOffset(::GetSystemMetrics(SM_CYSCREEN), outer.bottom - outer.top);
  ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace folianto

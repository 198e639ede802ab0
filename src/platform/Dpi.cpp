#include "platform/Dpi.h"

#include "platform/SystemLibrary.h"

namespace folianto {

UINT DpiForWindow(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpi =
      SystemFunction<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
  const UINT dpi = getDpi ? getDpi(window) : 0;
  return dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi) {
  using AdjustFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjust =
      SystemFunction<AdjustFunction>(L"user32.dll", "AdjustWindowRectExForDpi");
  RECT rect{0, 0, client.cx, client.cy};
  if (!adjust || !adjust(&rect, style, FALSE, exStyle, dpi)) {
    ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace folianto

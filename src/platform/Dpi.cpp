#include "platform/Dpi.h"

#include "platform/SystemLibrary.h"

namespace folianto {

UINT ScreenDpi() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT DpiForWindow(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpi =
      SystemFunction<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
  const UINT dpi = getDpi ? getDpi(window) : 0;
  return dpi ? dpi : ScreenDpi();
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

int PointerSizeForDpi(UINT dpi) {
  using MetricsFunction = int(WINAPI*)(int, UINT);
  static const auto metricForDpi =
      SystemFunction<MetricsFunction>(L"user32.dll", "GetSystemMetricsForDpi");
  if (metricForDpi) return metricForDpi(SM_CXCURSOR, dpi);
  // Older systems give the size at the screen's dpi.
  return ::MulDiv(::GetSystemMetrics(SM_CXCURSOR), static_cast<int>(dpi),
                  static_cast<int>(ScreenDpi()));
}

}  // namespace folianto

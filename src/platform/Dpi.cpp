#include "platform/Dpi.h"

#include <shellscalingapi.h>

#include "platform/SystemLibrary.h"

namespace folianto {

UINT ScreenDpi() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT DpiForWindow(HWND window) {
  static const auto windowDpi =
      SystemFunction<decltype(&::GetDpiForWindow)>(L"user32.dll", "GetDpiForWindow");
  if (const UINT dpi = windowDpi ? windowDpi(window) : 0) return dpi;
  // Windows 8.1 and Windows 10 before 1607: the dpi of the screen that holds most of the window.
  static const auto monitorDpi =
      SystemFunction<decltype(&::GetDpiForMonitor)>(L"shcore.dll", "GetDpiForMonitor");
  const HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  UINT dpi = 0;
  UINT ignored = 0;
  if (monitorDpi && SUCCEEDED(monitorDpi(monitor, MDT_EFFECTIVE_DPI, &dpi, &ignored)) && dpi)
    return dpi;
  return ScreenDpi();
}

SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi) {
  static const auto adjust = SystemFunction<decltype(&::AdjustWindowRectExForDpi)>(
      L"user32.dll", "AdjustWindowRectExForDpi");
  RECT rect{0, 0, client.cx, client.cy};
  if (!adjust || !adjust(&rect, style, FALSE, exStyle, dpi)) {
    ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

int PointerSizeForDpi(UINT dpi) {
  static const auto metricForDpi =
      SystemFunction<decltype(&::GetSystemMetricsForDpi)>(L"user32.dll", "GetSystemMetricsForDpi");
  if (metricForDpi) return metricForDpi(SM_CXCURSOR, dpi);
  // Older systems give the size at the screen's dpi.
  return ::MulDiv(::GetSystemMetrics(SM_CXCURSOR), static_cast<int>(dpi),
                  static_cast<int>(ScreenDpi()));
}

}  // namespace folianto

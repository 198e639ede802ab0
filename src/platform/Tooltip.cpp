#include "platform/Tooltip.h"

#include <commctrl.h>

namespace folianto {

namespace {

struct Relay {
  WNDPROC original;
  HWND tooltip;
};

LRESULT CALLBACK RelayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* relay = reinterpret_cast<Relay*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  const WNDPROC original = relay->original;
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
    MSG msg{window, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    const DWORD position = ::GetMessagePos();
    msg.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ::SendMessageW(relay->tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  } else if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete relay;
  }
  return ::CallWindowProcW(original, window, message, wParam, lParam);
}

}  // namespace

bool AddTooltip(HWND tooltip, HWND owner, HWND control, const wchar_t* text) {
  if (!tooltip || !control || ::GetWindowLongPtrW(control, GWLP_USERDATA)) return false;
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<wchar_t*>(text);
  if (!::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) return false;

  auto* relay = new Relay{nullptr, tooltip};
  ::SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(relay));
  relay->original = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RelayProc)));
  return true;
}

}  // namespace folianto

#include "platform/ControlHook.h"

#include <commctrl.h>

namespace folianto {

namespace {

struct Hook {
  WNDPROC original = nullptr;
  HWND tooltip = nullptr;
  bool askWindowAboutPointer = false;
};

LRESULT CALLBACK HookProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* hook = reinterpret_cast<Hook*>(::GetWindowLongPtrW(control, GWLP_USERDATA));
  const WNDPROC original = hook->original;
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && hook->tooltip) {
    MSG msg{control, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    const DWORD position = ::GetMessagePos();
    msg.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ::SendMessageW(hook->tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  } else if (message == WM_SETCURSOR && hook->askWindowAboutPointer &&
             ::SendMessageW(::GetAncestor(control, GA_ROOT), WM_SETCURSOR, wParam, lParam)) {
    return TRUE;
  } else if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    ::SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    delete hook;
  }
  return ::CallWindowProcW(original, control, message, wParam, lParam);
}

// The control's hook, installed on first use; null when the control's user data is taken by
// something else.
Hook* HookOf(HWND control) {
  if (!control) return nullptr;
  if (::GetWindowLongPtrW(control, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(HookProc)) {
    return reinterpret_cast<Hook*>(::GetWindowLongPtrW(control, GWLP_USERDATA));
  }
  if (::GetWindowLongPtrW(control, GWLP_USERDATA)) return nullptr;
  auto* hook = new Hook;
  ::SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(hook));
  hook->original = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookProc)));
  return hook;
}

}  // namespace

bool AddTooltip(HWND tooltip, HWND owner, HWND control, const wchar_t* text) {
  Hook* hook = tooltip ? HookOf(control) : nullptr;
  if (!hook) return false;
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<wchar_t*>(text);
  if (!::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) return false;
  hook->tooltip = tooltip;
  return true;
}

bool LetWindowChoosePointerOver(HWND control) {
  Hook* hook = HookOf(control);
  if (!hook) return false;
  hook->askWindowAboutPointer = true;
  return true;
}

}  // namespace folianto

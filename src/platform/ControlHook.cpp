#include "platform/ControlHook.h"

#include <commctrl.h>

#include <memory>
#include <vector>

namespace folianto {

namespace {

// One tooltip for several controls, shared by their hooks.
struct Tooltip {
  HWND owner = nullptr;
  std::vector<HWND> controls;
  const wchar_t* text = nullptr;
  HWND window = nullptr;  // made when first needed; it goes with its owner
};

struct Hook {
  WNDPROC original = nullptr;
  std::shared_ptr<Tooltip> tooltip;
  bool askWindowAboutPointer = false;
};

HWND MakeTooltip(Tooltip& tooltip) {
  const auto instance =
      reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(tooltip.owner, GWLP_HINSTANCE));
  tooltip.window = ::CreateWindowExW(
      WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, tooltip.owner, nullptr, instance, nullptr);
  for (HWND control : tooltip.controls) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = tooltip.owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(tooltip.text);
    ::SendMessageW(tooltip.window, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  return tooltip.window;
}

LRESULT CALLBACK HookProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* hook = reinterpret_cast<Hook*>(::GetWindowLongPtrW(control, GWLP_USERDATA));
  const WNDPROC original = hook->original;
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && hook->tooltip) {
    const HWND tooltip =
        hook->tooltip->window ? hook->tooltip->window : MakeTooltip(*hook->tooltip);
    MSG msg{control, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    const DWORD position = ::GetMessagePos();
    msg.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ::SendMessageW(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
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

// The control's hook; null when it has none.
Hook* ExistingHook(HWND control) {
  return control &&
                 ::GetWindowLongPtrW(control, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(HookProc)
             ? reinterpret_cast<Hook*>(::GetWindowLongPtrW(control, GWLP_USERDATA))
             : nullptr;
}

// The control's hook, installed on first use; null when the control's user data is taken by
// something else.
Hook* HookOf(HWND control) {
  if (Hook* hook = ExistingHook(control)) return hook;
  if (!control || ::GetWindowLongPtrW(control, GWLP_USERDATA)) return nullptr;
  auto* hook = new Hook;
  ::SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(hook));
  hook->original = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookProc)));
  return hook;
}

}  // namespace

bool AddTooltip(HWND owner, std::initializer_list<HWND> controls, const wchar_t* text) {
  auto tooltip = std::make_shared<Tooltip>(Tooltip{owner, {}, text, nullptr});
  for (HWND control : controls) {
    Hook* hook = HookOf(control);
    if (!hook) return false;
    hook->tooltip = tooltip;
    tooltip->controls.push_back(control);
  }
  return true;
}

HWND TooltipOver(HWND control) {
  const Hook* hook = ExistingHook(control);
  return hook && hook->tooltip ? hook->tooltip->window : nullptr;
}

bool LetWindowChoosePointerOver(HWND control) {
  Hook* hook = HookOf(control);
  if (!hook) return false;
  hook->askWindowAboutPointer = true;
  return true;
}

}  // namespace folianto

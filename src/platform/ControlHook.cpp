#include "platform/ControlHook.h"

#include <commctrl.h>

#include <algorithm>
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
  HWND control = nullptr;
  WNDPROC original = nullptr;
  std::shared_ptr<Tooltip> tooltip;
  bool askWindowAboutPointer = false;
};

// The hooks keep their state here, not in the control's GWLP_USERDATA: that slot is its maker's,
// and some hooked controls are not the program's own (the list view makes its header). The lookup
// runs on every message the control gets; a window property or comctl32's SetWindowSubclass would
// leave the slot alone too, but cost many times more (docs/performance.md). Only the
// user-interface thread, which gets the controls' messages, touches the table.
std::vector<std::unique_ptr<Hook>>& Hooks() {
  static std::vector<std::unique_ptr<Hook>> hooks;
  return hooks;
}

Hook* ExistingHook(HWND control) {
  const auto& hooks = Hooks();
  const auto found =
      std::ranges::find(hooks, control, [](const auto& hook) { return hook->control; });
  return found == hooks.end() ? nullptr : found->get();
}

void MakeTooltip(Tooltip& tooltip) {
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
}

// The tooltip learns of the mouse over the control from the control's own mouse messages.
void RelayToTooltip(Tooltip& tooltip, HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!tooltip.window) MakeTooltip(tooltip);
  MSG msg{control, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
  const DWORD position = ::GetMessagePos();
  msg.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  ::SendMessageW(tooltip.window, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

LRESULT CALLBACK HookProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const Hook* hook = ExistingHook(control);
  if (!hook) return ::DefWindowProcW(control, message, wParam, lParam);
  const WNDPROC original = hook->original;
  if (hook->tooltip && message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
    RelayToTooltip(*hook->tooltip, control, message, wParam, lParam);
  } else if (message == WM_SETCURSOR && hook->askWindowAboutPointer &&
             ::SendMessageW(::GetAncestor(control, GA_ROOT), WM_SETCURSOR, wParam, lParam)) {
    return TRUE;
  } else if (message == WM_NCDESTROY) {
    // Put back only while no one has hooked the control after this program.
    if (::GetWindowLongPtrW(control, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(HookProc))
      ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    std::erase_if(Hooks(), [control](const auto& hook) { return hook->control == control; });
  }
  return ::CallWindowProcW(original, control, message, wParam, lParam);
}

// The control's hook, installed on first use.
Hook* HookOf(HWND control) {
  if (Hook* hook = ExistingHook(control)) return hook;
  if (!::IsWindow(control)) return nullptr;
  Hook* const hook = Hooks().emplace_back(std::make_unique<Hook>()).get();
  hook->control = control;
  hook->original = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookProc)));
  if (hook->original) return hook;
  Hooks().pop_back();  // a window of another process
  return nullptr;
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

#pragma once

#include <windows.h>

namespace folianto {

// Window procedures that hand a window's messages to the object of T it was made with
// (CreateWindowExW's last parameter, DialogBoxIndirectParamW's). Messages that come before the
// object is known (WM_GETMINMAXINFO comes before WM_NCCREATE) get the default handling.

// T::Attach(window) is told the window first; T::OnMessage(message, wParam, lParam) answers all.
template <typename T>
LRESULT CALLBACK ObjectWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* object = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    object->Attach(window);
  }
  auto* object = reinterpret_cast<T*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!object) return ::DefWindowProcW(window, message, wParam, lParam);
  return object->OnMessage(message, wParam, lParam);
}

// T::OnMessage(dialog, message, wParam, lParam) answers as a dialog procedure does, WM_INITDIALOG
// included.
template <typename T>
INT_PTR CALLBACK ObjectDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  auto* object = reinterpret_cast<T*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  return object ? object->OnMessage(dialog, message, wParam, lParam) : FALSE;
}

}  // namespace folianto

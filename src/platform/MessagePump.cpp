#include "platform/MessagePump.h"

namespace folianto {

namespace {

void Dispatch(MSG& msg) {
  // Thread messages have no window; every other goes to its top-level window's dialog manager,
  // which dispatches whatever is not a dialog key itself.
  if (msg.hwnd && ::IsDialogMessageW(::GetAncestor(msg.hwnd, GA_ROOT), &msg)) return;
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
}

}  // namespace

int RunMessageLoop() {
  MSG msg{};
  for (;;) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return 1;
    Dispatch(msg);
  }
}

void PumpPendingMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) ::ExitProcess(static_cast<UINT>(msg.wParam));
    Dispatch(msg);
  }
}

}  // namespace folianto

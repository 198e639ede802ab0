#include "platform/MessagePump.h"

namespace folianto {

namespace {

HWND g_dialogWindow = nullptr;

void ExitAtOnce(int exitCode) {
  ::ExitProcess(static_cast<UINT>(exitCode));
}

QuitHandler g_quitHandler = ExitAtOnce;

void Dispatch(MSG& msg) {
  if (g_dialogWindow && ::IsDialogMessageW(g_dialogWindow, &msg)) return;
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
}

}  // namespace

void SetDialogWindow(HWND window) {
  g_dialogWindow = window;
}

void ForgetDialogWindow(HWND window) {
  if (g_dialogWindow == window) g_dialogWindow = nullptr;
}

void SetQuitHandler(QuitHandler handler) {
  g_quitHandler = handler ? handler : ExitAtOnce;
}

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
    if (msg.message == WM_QUIT) {
      g_quitHandler(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg);
  }
}

}  // namespace folianto

#include "platform/MessagePump.h"

#include <algorithm>

namespace folianto {

namespace {

// The longest sleep of a wait: the handle and new input wake it sooner. It bounds how long input
// that a pass could not take waits to be looked at again.
constexpr DWORD kLongestWaitMs = 100;

// The one window whose keys are translated, and their table.
struct {
  HWND window = nullptr;
  HACCEL table = nullptr;
} accelerators;

// The position of the handle that result says is signalled (an abandoned mutex counts), or -1.
int SignalledPosition(DWORD result, DWORD count) {
  if (result < WAIT_OBJECT_0 + count) return static_cast<int>(result - WAIT_OBJECT_0);
  if (result >= WAIT_ABANDONED_0 && result < WAIT_ABANDONED_0 + count)
    return static_cast<int>(result - WAIT_ABANDONED_0);
  return -1;
}

void Dispatch(MSG& msg) {
  // Thread messages have no window; every other goes to its top-level window's keys, then to its
  // dialog manager, which dispatches whatever is not a dialog key itself.
  if (msg.hwnd) {
    const HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    if (root == accelerators.window && ::TranslateAcceleratorW(root, accelerators.table, &msg)) {
      // The window's default handling still learns that a key came with Alt, or Alt's release
      // would open the window menu as if Alt had been pressed alone (Wine tracks it there).
      if (msg.message == WM_SYSKEYDOWN) ::DefWindowProcW(root, msg.message, msg.wParam, msg.lParam);
      return;
    }
    if (::IsDialogMessageW(root, &msg)) return;
  }
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
}

}  // namespace

void UseAccelerators(HWND window, HACCEL table) {
  accelerators = {table ? window : nullptr, table};
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

bool PumpPendingMessages() {
  bool ran = false;
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) ::ExitProcess(static_cast<UINT>(msg.wParam));
    Dispatch(msg);
    ran = true;
  }
  return ran;
}

int WaitRunningMessages(std::span<const HANDLE> handles, DWORD timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  const auto count = static_cast<DWORD>(handles.size());
  // A handle signalled already is had without a message running: no handler starts in the middle
  // of what waits for it.
  const DWORD already = ::WaitForMultipleObjects(count, handles.data(), FALSE, 0);
  if (const int signalled = SignalledPosition(already, count); signalled >= 0) return signalled;
  // Input already in the queue wakes the first wait at once. Later waits ask for it only after a
  // pass that ran something: input this thread cannot take (another thread's, on an input queue
  // the two share) would otherwise wake every wait at once, and the wait would spin.
  DWORD flags = MWMO_INPUTAVAILABLE;
  for (;;) {
    DWORD sleep = kLongestWaitMs;
    if (timeoutMs != INFINITE) {
      const ULONGLONG now = ::GetTickCount64();
      if (now >= deadline) return -1;
      sleep = static_cast<DWORD>(std::min<ULONGLONG>(sleep, deadline - now));
    }
    const DWORD woken =
        ::MsgWaitForMultipleObjectsEx(count, handles.data(), sleep, QS_ALLINPUT, flags);
    if (woken == WAIT_FAILED) return -1;
    if (const int signalled = SignalledPosition(woken, count); signalled >= 0) return signalled;
    flags = PumpPendingMessages() ? MWMO_INPUTAVAILABLE : 0;
  }
}

bool WaitRunningMessages(HANDLE handle, DWORD timeoutMs) {
  return WaitRunningMessages(std::span<const HANDLE>(&handle, 1), timeoutMs) == 0;
}

}  // namespace folianto

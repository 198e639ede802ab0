// The start-up reference: a Win32 program that only opens one empty window.
#include <windows.h>

#include "ReferenceWindow.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  using namespace folianto::bench;
  constexpr wchar_t kClass[] = L"BenchMinimalWindow";
  if (!RegisterReferenceClass(instance, kClass, ReferenceWindowProc)) return 1;
  const HWND window =
      ::CreateWindowExW(0, kClass, L"Minimal window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 520, 280, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  return ShowAndRun(window, showCommand, false);
}

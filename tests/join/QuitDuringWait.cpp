// Closes its own window while RunAndWait waits for a program that outlives it. The wait must end
// this program at once, with the exit code of WM_QUIT (7); 99 would mean the wait went on to the
// end. Usage: join_quit_probe EVENT, where EVENT is what the helper waits for.
#include <windows.h>

#include <string>

#include "join/RunAndWait.h"
#include "platform/FileSystem.h"

namespace {

LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(7);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 1;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ProbeWindowProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"FoliantoQuitProbe";
  ::RegisterClassW(&windowClass);
  const HWND window =
      ::CreateWindowExW(0, windowClass.lpszClassName, L"Quit probe", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                        100, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (!window) return 1;
  ::PostMessageW(window, WM_CLOSE, 0, 0);

  const std::wstring helper = L"\"" + folianto::ApplicationFolder() + L"\\join_run_helper.exe\"";
  int hidden = 0;
  folianto::RunAndWait(helper + L" wait " + argv[1], hidden);
  return 99;
}

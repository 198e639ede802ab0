// Start-up: from process start to the main window shown and the program idle, for folianto.exe,
// for a program that only opens one empty window, and for the floor, a program that opens
// Folianto's window with its nine controls bare, started in turns by this launcher.
// Usage: bench_startup.exe [RUNS]   (the programs are looked for beside this one)
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "platform/FileSystem.h"
#include "platform/UniqueHandle.h"

namespace {

using folianto::UniqueKernelHandle;
using folianto::bench::Stopwatch;

struct Program {
  std::wstring exe;
  const wchar_t* windowClass;
  const wchar_t* caption;
  std::vector<double> runs;
};

constexpr DWORD kStartTimeoutMs = 60000;

// Milliseconds to the shown, idle window; a negative value when the start failed.
double TimeStart(const Program& program) {
  std::wstring commandLine = L"\"" + program.exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  const Stopwatch clock;
  if (!::CreateProcessW(program.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &info)) {
    return -1;
  }
  const UniqueKernelHandle process(info.hProcess);
  const UniqueKernelHandle thread(info.hThread);
  ::WaitForInputIdle(process.Get(), kStartTimeoutMs);
  HWND window = nullptr;
  while (clock.Milliseconds() < kStartTimeoutMs) {
    window = ::FindWindowW(program.windowClass, program.caption);
    if (window && ::IsWindowVisible(window)) break;
    window = nullptr;
    ::Sleep(1);
  }
  const double elapsed = clock.Milliseconds();
  if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process.Get(), 15000) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.Get(), 1);
    return -1;
  }
  return window ? elapsed : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;
  const std::wstring folder = folianto::ApplicationFolder();
  Program folianto{folder + L"\\folianto.exe", L"FoliantoForm1", L"Folianto", {}};
  Program minimal{
      folder + L"\\bench_minimal_window.exe", L"BenchMinimalWindow", L"Minimal window", {}};
  Program floor{folder + L"\\bench_floor_window.exe", L"BenchFloorWindow", L"Floor window", {}};
  // The pointer rests away from both windows, as after a click in a menu or on a shortcut: the
  // empty window opens where the system puts it, Folianto's in the middle of the screen, where the
  // pointer of a fresh display would be.
  ::SetCursorPos(0, 0);
  for (int run = 0; run < runs; ++run) {
    for (Program* program : {&folianto, &minimal, &floor}) {
      const double elapsed = TimeStart(*program);
      if (elapsed < 0) return folianto::bench::Failed("a program did not show its window");
      program->runs.push_back(elapsed);
    }
  }
  folianto::bench::Report("startup", "Start-up to the window shown and idle", "Folianto",
                          folianto::bench::Best(folianto.runs), "minimal window",
                          folianto::bench::Best(minimal.runs), "ms", runs);
  folianto::bench::Report("startup-floor", "Start-up to the window shown and idle", "Folianto",
                          folianto::bench::Best(folianto.runs), "the nine controls bare",
                          folianto::bench::Best(floor.runs), "ms", runs);
  return 0;
}

// Runs one join as Folianto's window runs it, with the real workspace, tool, records and claims,
// and ends itself, as TerminateProcess ends a program, at the STEP-th step that changes the disk
// (a thing made, a tool started, a name given, a thing removed) or asks for a password. With STEP 0
// it runs to its end: its exit code is then the number of such steps, and OUTCOME holds what the
// user would be told, in UTF-16.
// Usage: join_crash_probe TEMPORARY STEP KIND OUTCOME OUTPUT INPUT...
//   KIND plain; bookmarks, a bookmark for each file; password, each locked input opening with
//   "secret"; standin, no path having a short form, so that an input outside the code page goes
//   by a stand-in.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "filelist/MemoryFileList.h"
#include "join/HeadlessJoin.h"
#include "join/SessionFileClaims.h"

namespace folianto {
namespace {

int g_steps = 0;
int g_endAt = 0;

void EndNow() {
  ::TerminateProcess(::GetCurrentProcess(), 9);
}

void Step(std::wstring_view step) {
  if (++g_steps == g_endAt) EndNow();
  // A tool is told before it runs: it counts twice, ended there and with the first messages its
  // wait lets run, once it writes.
  if (step == L"tool" && ++g_steps == g_endAt)
    ::SetTimer(nullptr, 0, 0, [](HWND, UINT, UINT_PTR, DWORD) { EndNow(); });
}

int Probe(int argc, wchar_t** argv) {
  if (argc < 7) return -1;
  for (const wchar_t* name : {L"TMP", L"TEMP"})
    ::SetEnvironmentVariableW(name, argv[1]);
  g_endAt = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
  DiskWorkspace::ObserveSteps(Step);
  const std::wstring toolFolder = ApplicationFolder();
  SessionFileClaims claims([](HANDLE lock, unsigned ms) { return WaitRunningMessages(lock, ms); });
  RunningJoins joins(claims);
  MemoryFileList list(std::vector<std::wstring>(argv + 6, argv + argc));
  CommonDialog dialog;
  std::wstring told;
  {
    const std::wstring kind = argv[3];
    testing::SeamedNames names(kind != L"standin");
    testing::HeadlessHost host(joins, names, argv[5], kind == L"bookmarks", L"secret",
                               [] { Step(L"asked"); });
    RunJoinCommand(host.Host(), list, dialog, toolFolder);
    told = host.told;
  }
  if (FILE* file = ::_wfopen(argv[4], L"wb")) {
    std::fwrite(told.data(), sizeof(wchar_t), told.size(), file);
    std::fclose(file);
  }
  return g_steps;
}

}  // namespace
}  // namespace folianto

int wmain(int argc, wchar_t** argv) {
  return folianto::Probe(argc, argv);
}

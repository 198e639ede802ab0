// Runs "Join!" in a window whose pdftk.exe is the one in TOOL_FOLDER, with WAIT_LIMIT_MS as its
// wait after a close, and runs the window until the program ends. The list holds INPUT; the save
// dialog answers the first OUTPUT, and each further OUTPUT is the output of a join started inside
// the one before, once that join's tool has marked its start (so the tools run in the joins'
// order), in the messages its wait for the tool lets run. Each message box stays up
// BOX_MS, with the program's messages running, as a box the user has not answered yet; the texts
// go to messages.txt in TOOL_FOLDER, in UTF-16, each followed by a line "--". With
// FOLIANTO_STALL_COPIES set, a copy of an input never ends, as from a drive that stopped answering.
// Usage: join_close_probe TOOL_FOLDER WAIT_LIMIT_MS BOX_MS INPUT OUTPUT...
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

#include "join/DiskWorkspace.h"
#include "platform/MessagePump.h"
#include "platform/UiThread.h"
#include "support/WinTestSupport.h"

namespace {

folianto::Form1* g_form = nullptr;
std::wstring g_toolFolder;
int g_nested = 0;
int g_joins = 1;

// The slow tool marks each start with a line beside itself.
int ToolsStarted() {
  const std::string marks = folianto::testing::ReadFileBytes(g_toolFolder + L"\\slow-tool-started");
  return static_cast<int>(std::count(marks.begin(), marks.end(), '\n'));
}

void StartNestedJoin(HWND, UINT, UINT_PTR timer, DWORD) {
  if (ToolsStarted() < g_joins) return;
  ::KillTimer(nullptr, timer);
  if (--g_nested > 0) ::SetTimer(nullptr, 0, 10, StartNestedJoin);
  ++g_joins;
  folianto::testing::Click(g_form->Check2);
}

bool StalledCopy(const std::wstring&, HANDLE, const folianto::WaitFor& wait) {
  const folianto::UniqueKernelHandle never(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  wait(never.Get());
  ::SetLastError(ERROR_CANCELLED);
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 6) return 2;
  const folianto::UiThreadSetup uiThread;
  if (::GetEnvironmentVariableW(L"FOLIANTO_STALL_COPIES", nullptr, 0) > 0)
    folianto::DiskWorkspace::CopyWith(StalledCopy);
  folianto::testing::ScriptedDialogs dialogs;
  for (int i = 5; i < argc; ++i)
    dialogs.AnswerSave({folianto::DialogResult::Chosen, argv[i]});
  const std::wstring messages = std::wstring(argv[1]) + L"\\messages.txt";
  const DWORD boxMs = std::wcstoul(argv[3], nullptr, 10);
  dialogs.onMessage = [&](const std::wstring& text) {
    if (FILE* file = ::_wfopen(messages.c_str(), L"ab")) {
      const std::wstring said = text + L"\n--\n";
      std::fwrite(said.data(), sizeof(wchar_t), said.size(), file);
      std::fclose(file);
    }
    const folianto::UniqueKernelHandle never(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    folianto::WaitRunningMessages(never.Get(), boxMs);
  };
  folianto::Form1 form(dialogs, argv[1]);
  form.SetCloseWaitLimit(static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10)));
  if (!form.Create(::GetModuleHandleW(nullptr))) return 2;
  form.Show(SW_SHOWNORMAL);
  form.ListView1.Append(argv[4]);
  g_form = &form;
  g_toolFolder = argv[1];
  g_nested = argc - 6;
  if (g_nested > 0) ::SetTimer(nullptr, 0, 10, StartNestedJoin);
  ::PostMessageW(form.Check2.Handle(), BM_CLICK, 0, 0);
  return folianto::RunMessageLoop();
}

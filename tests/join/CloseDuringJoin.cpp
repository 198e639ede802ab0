// Runs "Join!" in a window whose pdftk.exe is the one in TOOL_FOLDER, with WAIT_LIMIT_MS as its
// wait after a close, and runs the window until the program ends. The save dialog answers OUTPUT;
// the list holds INPUT. The texts of its messages go to messages.txt in TOOL_FOLDER, in UTF-16.
// Usage: join_close_probe TOOL_FOLDER WAIT_LIMIT_MS OUTPUT INPUT
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/MessagePump.h"
#include "platform/UiThread.h"
#include "support/WinTestSupport.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) return 2;
  const folianto::UiThreadSetup uiThread;
  folianto::testing::ScriptedDialogs dialogs;
  dialogs.AnswerSave({folianto::DialogResult::Chosen, argv[3]});
  const std::wstring messages = std::wstring(argv[1]) + L"\\messages.txt";
  dialogs.onMessage = [&](const std::wstring& text) {
    if (FILE* file = ::_wfopen(messages.c_str(), L"ab")) {
      std::fwrite(text.data(), sizeof(wchar_t), text.size(), file);
      std::fclose(file);
    }
  };
  folianto::Form1 form(dialogs, argv[1]);
  form.SetCloseWaitLimit(static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10)));
  if (!form.Create(::GetModuleHandleW(nullptr))) return 2;
  form.Show(SW_SHOWNORMAL);
  form.ListView1.Append(argv[4]);
  ::PostMessageW(form.Check2.Handle(), BM_CLICK, 0, 0);
  return folianto::RunMessageLoop();
}

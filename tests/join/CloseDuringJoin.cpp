// Runs "Join!" in a window whose pdftk.exe is the one in TOOL_FOLDER, with WAIT_LIMIT_MS as its
// wait after a close, and runs the window until the program ends. The save dialog answers OUTPUT;
// the list holds INPUT. Usage: join_close_probe TOOL_FOLDER WAIT_LIMIT_MS OUTPUT INPUT
#include <windows.h>

#include <cwchar>

#include "platform/MessagePump.h"
#include "platform/UiThread.h"
#include "support/WinTestSupport.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) return 2;
  const folianto::UiThreadSetup uiThread;
  folianto::testing::ScriptedDialogs dialogs;
  dialogs.AnswerSave({folianto::DialogResult::Chosen, argv[3]});
  folianto::Form1 form(dialogs, argv[1]);
  form.SetCloseWaitLimit(static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10)));
  if (!form.Create(::GetModuleHandleW(nullptr))) return 2;
  form.Show(SW_SHOWNORMAL);
  form.ListView1.Append(argv[4]);
  ::PostMessageW(form.Check2.Handle(), BM_CLICK, 0, 0);
  return folianto::RunMessageLoop();
}

// Runs "Join!" in a window whose pdftk.exe is the one in TOOL_FOLDER, with WAIT_LIMIT_MS as its
// wait after a close, and runs the window until the program ends. The save dialog answers OUTPUT;
// the list holds INPUT. Usage: join_close_probe TOOL_FOLDER WAIT_LIMIT_MS OUTPUT INPUT
#include <windows.h>

#include <cwchar>
#include <string>
#include <utility>

#include "app/Form1.h"
#include "platform/MessagePump.h"
#include "platform/UiThread.h"

namespace {

using folianto::CommonDialog;
using folianto::DialogOutcome;
using folianto::DialogResult;

class SaveDialogAnswers final : public folianto::DialogHost {
 public:
  explicit SaveDialogAnswers(std::wstring output) : output_(std::move(output)) {}
  DialogOutcome ShowOpen(HWND, CommonDialog&) override { return {DialogResult::Cancelled, 0}; }
  DialogOutcome ShowSave(HWND, CommonDialog& dialog) override {
    dialog.fileName = output_;
    return {DialogResult::Chosen, 0};
  }
  std::wstring BrowseFolder(HWND, const std::wstring&) override { return {}; }
  void ShowMessage(HWND, const std::wstring&) override {}

 private:
  std::wstring output_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) return 2;
  const folianto::UiThreadSetup uiThread;
  SaveDialogAnswers dialogs(argv[3]);
  folianto::Form1 form(dialogs, argv[1]);
  form.SetCloseWaitLimit(static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10)));
  if (!form.Create(::GetModuleHandleW(nullptr))) return 2;
  form.Show(SW_SHOWNORMAL);
  form.ListView1.Append(argv[4]);
  ::PostMessageW(form.Check2.Handle(), BM_CLICK, 0, 0);
  return folianto::RunMessageLoop();
}

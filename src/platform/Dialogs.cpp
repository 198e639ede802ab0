#include "platform/Dialogs.h"

#include <commctrl.h>
#include <commdlg.h>
#include <cderr.h>

#include <algorithm>
#include <vector>

#include "platform/FileSaveDialog.h"
#include "platform/Shell.h"
#include "platform/UniqueHandle.h"
#include "platform/SystemLibrary.h"

namespace folianto {

namespace {

// Big enough for the folder and several hundred long names of one multi-selection.
constexpr size_t kMinFileBuffer = 64 * 1024;

const wchar_t* OrNull(const std::wstring& text) {
  return text.empty() ? nullptr : text.c_str();
}

DialogOutcome ShowOpenDialog(HWND owner, CommonDialog& dialog) {
  // comdlg32 is loaded with the first dialog, not at start-up.
  static const auto show =
      SystemFunction<decltype(&::GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
  static const auto extendedError =
      SystemFunction<decltype(&::CommDlgExtendedError)>(L"comdlg32.dll", "CommDlgExtendedError");
  if (!show || !extendedError) return {DialogResult::Failed, CDERR_INITIALIZATION};

  std::vector<wchar_t> buffer(std::max(kMinFileBuffer, dialog.fileName.size() + 2), L'\0');
  std::copy(dialog.fileName.begin(), dialog.fileName.end(), buffer.begin());
  const std::wstring filter = PlatformFilter(dialog.filter);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = OrNull(filter);
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrTitle = OrNull(dialog.dialogTitle);
  ofn.lpstrDefExt = OrNull(dialog.defaultExt);
  ofn.Flags = dialog.flags;

  const BOOL chosen = show(&ofn);
  if (!chosen) {
    const DWORD error = extendedError();
    if (error == 0) return {DialogResult::Cancelled, 0};
    return {DialogResult::Failed, error};
  }
  const bool multiSelect = dialog.flags & OFN_ALLOWMULTISELECT;
  dialog.fileName = DialogFileName(std::wstring_view(buffer.data(), buffer.size()), multiSelect);
  return {DialogResult::Chosen, 0};
}

using UniqueHook = UniqueHandle<HandleTraits<HHOOK, ::UnhookWindowsHookEx>>;

LRESULT CALLBACK PutOnTop(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    ::SetWindowPos(reinterpret_cast<HWND>(wParam), HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void ShowMessageBox(HWND owner, const wchar_t* caption, const std::wstring& text) {
  if (owner) {
    ::MessageBoxW(owner, text.c_str(), caption, MB_OK);
    return;
  }
  // Without a window to own it, the box comes on top of the other windows, where it is seen.
  // Not every system honours MB_TOPMOST, so the box is also put there as it comes up.
  const UniqueHook hook(::SetWindowsHookExW(WH_CBT, PutOnTop, nullptr, ::GetCurrentThreadId()));
  ::MessageBoxW(nullptr, text.c_str(), caption, MB_OK | MB_TOPMOST | MB_SETFOREGROUND);
}

// A task dialog: a message box that offers more than OK, with OK still the answer Enter gives.
int ShowChoiceBox(HWND owner, const wchar_t* caption, const std::wstring& text,
                  std::span<const DialogButton> buttons) {
  static const auto show =
      SystemFunction<decltype(&::TaskDialogIndirect)>(L"comctl32.dll", "TaskDialogIndirect");
  std::vector<TASKDIALOG_BUTTON> taskButtons;
  for (const DialogButton& button : buttons)
    taskButtons.push_back({button.id, button.label});
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof(config);
  config.hwndParent = owner;
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
  config.dwCommonButtons = TDCBF_OK_BUTTON;
  config.pszWindowTitle = caption;
  config.pszContent = text.c_str();
  config.cButtons = static_cast<UINT>(taskButtons.size());
  config.pButtons = taskButtons.data();
  config.nDefaultButton = IDOK;
  int pressed = IDOK;
  // Without the common controls 6 (a program that lacks their manifest) it is a message box.
  if (!show || FAILED(show(&config, &pressed, nullptr, nullptr))) {
    ShowMessageBox(owner, caption, text);
    return IDOK;
  }
  return pressed == IDCANCEL ? IDOK : pressed;
}

class SystemDialogHost final : public DialogHost {
 public:
  explicit SystemDialogHost(const wchar_t* caption) : caption_(caption) {}
  DialogOutcome ShowOpen(HWND owner, CommonDialog& dialog) override {
    return ShowOpenDialog(owner, dialog);
  }
  DialogOutcome ShowSave(HWND owner, CommonDialog& dialog) override {
    return ShowFileSaveDialog(owner, dialog);
  }
  std::wstring BrowseFolder(HWND owner, const std::wstring& title) override {
    return folianto::BrowseFolder(owner, title);
  }
  void ShowMessage(HWND owner, const std::wstring& text) override {
    ShowMessageBox(owner, caption_, text);
  }
  int ShowChoice(HWND owner, const std::wstring& text,
                 std::span<const DialogButton> buttons) override {
    return ShowChoiceBox(owner, caption_, text, buttons);
  }
  std::optional<SecretText> AskMasked(HWND owner, const MaskedQuestion& question) override {
    return ShowMaskedInput(owner, question);
  }

 private:
  const wchar_t* caption_;
};

}  // namespace

DialogHost& SystemDialogs(const wchar_t* caption) {
  static SystemDialogHost host(caption);
  return host;
}

}  // namespace folianto

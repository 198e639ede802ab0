#include "platform/Dialogs.h"

#include <commdlg.h>
#include <cderr.h>

#include <algorithm>
#include <vector>

#include "platform/Shell.h"
#include "platform/SystemLibrary.h"

namespace folianto {

namespace {

// Big enough for the folder and several hundred long names of one multi-selection.
constexpr size_t kMinFileBuffer = 64 * 1024;

const wchar_t* OrNull(const std::wstring& text) {
  return text.empty() ? nullptr : text.c_str();
}

DialogOutcome ShowFileDialog(HWND owner, CommonDialog& dialog, bool save) {
  // comdlg32 is loaded with the first dialog, not at start-up.
  using FileDialogFunction = BOOL(WINAPI*)(LPOPENFILENAMEW);
  static const auto showOpen =
      SystemFunction<FileDialogFunction>(L"comdlg32.dll", "GetOpenFileNameW");
  static const auto showSave =
      SystemFunction<FileDialogFunction>(L"comdlg32.dll", "GetSaveFileNameW");
  static const auto extendedError =
      SystemFunction<decltype(&::CommDlgExtendedError)>(L"comdlg32.dll", "CommDlgExtendedError");
  const FileDialogFunction show = save ? showSave : showOpen;
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
  const bool multiSelect = !save && (dialog.flags & OFN_ALLOWMULTISELECT);
  dialog.fileName = DialogFileName(std::wstring_view(buffer.data(), buffer.size()), multiSelect);
  return {DialogResult::Chosen, 0};
}

class SystemDialogHost final : public DialogHost {
 public:
  DialogOutcome ShowOpen(HWND owner, CommonDialog& dialog) override {
    return ShowFileDialog(owner, dialog, false);
  }
  DialogOutcome ShowSave(HWND owner, CommonDialog& dialog) override {
    return ShowFileDialog(owner, dialog, true);
  }
  std::wstring BrowseFolder(HWND owner, const std::wstring& title) override {
    return folianto::BrowseFolder(owner, title);
  }
  void ShowMessage(HWND owner, const std::wstring& text) override {
    ::MessageBoxW(owner, text.c_str(), kProgramTitle, MB_OK);
  }
  void ShowJoinSuccessful(HWND owner, const std::wstring&) override {
    ShowMessage(owner, L"Join successful.");
  }
};

}  // namespace

DialogHost& SystemDialogs() {
  static SystemDialogHost host;
  return host;
}

}  // namespace folianto

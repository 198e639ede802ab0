#include "platform/Dialogs.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shobjidl.h>
#include <cderr.h>

#include <algorithm>
#include <vector>

#include "platform/Shell.h"
#include "platform/SystemLibrary.h"
#include "platform/UiThread.h"
#include "platform/UniqueHandle.h"

namespace folianto {

namespace {

// Big enough for the folder and several hundred long names of one multi-selection.
constexpr size_t kMinFileBuffer = 64 * 1024;

// CLSID_FileSaveDialog, which would otherwise come from a library of GUIDs.
constexpr CLSID kFileSaveDialog = {
    0xC0B4E2F3, 0xBA21, 0x4773, {0x8D, 0xBA, 0x33, 0x5E, 0xC9, 0x46, 0xEB, 0x8B}};
constexpr DWORD kCheckBoxId = 1;

const wchar_t* OrNull(const std::wstring& text) {
  return text.empty() ? nullptr : text.c_str();
}

DialogOutcome Failed(HRESULT result) {
  return {DialogResult::Failed, static_cast<uint32_t>(result)};
}

using UniqueHook = UniqueHandle<HHOOK, ::UnhookWindowsHookEx>;

LRESULT CALLBACK PutOnTop(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    ::SetWindowPos(reinterpret_cast<HWND>(wParam), HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

class SystemDialogHost final : public DialogHost {
 public:
  explicit SystemDialogHost(const wchar_t* caption) : caption_(caption) {}

  DialogOutcome ShowOpen(HWND owner, CommonDialog& dialog) override {
    // comdlg32 is loaded with the first dialog, not at start-up.
    static const auto show =
        SystemFunction<decltype(&::GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    static const auto extendedError =
        SystemFunction<decltype(&::CommDlgExtendedError)>(L"comdlg32.dll", "CommDlgExtendedError");
    if (!show || !extendedError) return {DialogResult::Failed, CDERR_INITIALIZATION};

    std::wstring buffer = dialog.fileName;
    buffer.resize(std::max(kMinFileBuffer, buffer.size() + 2));
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
    if (!show(&ofn)) {
      const DWORD error = extendedError();
      return {error ? DialogResult::Failed : DialogResult::Cancelled, error};
    }
    dialog.fileName = DialogFileName(buffer, (dialog.flags & OFN_ALLOWMULTISELECT) != 0);
    return {DialogResult::Chosen, 0};
  }

  DialogOutcome ShowSave(HWND owner, CommonDialog& dialog) override {
    static const auto create =
        SystemFunction<decltype(&::CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
    if (!create || !StartComOnUiThread()) return {DialogResult::Failed, CDERR_INITIALIZATION};
    UniqueComPointer<IFileSaveDialog> save;
    HRESULT result = create(kFileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                            __uuidof(IFileSaveDialog), reinterpret_cast<void**>(save.Put()));
    if (FAILED(result)) return Failed(result);

    if (!dialog.dialogTitle.empty()) save->SetTitle(dialog.dialogTitle.c_str());
    const auto pairs = FilterPairs(dialog.filter);
    std::vector<COMDLG_FILTERSPEC> types;
    for (const auto& [description, pattern] : pairs)
      types.push_back({description.c_str(), pattern.c_str()});
    if (!types.empty()) save->SetFileTypes(static_cast<UINT>(types.size()), types.data());
    if (!dialog.defaultExt.empty()) save->SetDefaultExtension(dialog.defaultExt.c_str());
    save->SetFileName(dialog.fileName.c_str());
    FILEOPENDIALOGOPTIONS options = 0;
    save->GetOptions(&options);
    options &= ~static_cast<FILEOPENDIALOGOPTIONS>(FOS_OVERWRITEPROMPT);
    if (dialog.flags & kAskBeforeReplacing) options |= FOS_OVERWRITEPROMPT;
    save->SetOptions(options | FOS_FORCEFILESYSTEM);
    UniqueComPointer<IFileDialogCustomize> customize;
    if (!dialog.checkBoxLabel.empty() &&
        SUCCEEDED(save->QueryInterface(__uuidof(IFileDialogCustomize),
                                       reinterpret_cast<void**>(customize.Put())))) {
      customize->AddCheckButton(kCheckBoxId, dialog.checkBoxLabel.c_str(), dialog.checkBoxTicked);
    }

    result = save->Show(owner);
    if (result == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return {DialogResult::Cancelled, 0};
    if (FAILED(result)) return Failed(result);
    UniqueComPointer<IShellItem> item;
    if (FAILED(result = save->GetResult(item.Put()))) return Failed(result);
    wchar_t* path = nullptr;
    if (FAILED(result = item->GetDisplayName(SIGDN_FILESYSPATH, &path))) return Failed(result);
    const UniqueCoTaskMem<wchar_t> ownedPath(path);
    dialog.fileName = path;
    BOOL ticked = FALSE;
    if (customize && SUCCEEDED(customize->GetCheckButtonState(kCheckBoxId, &ticked)))
      dialog.checkBoxTicked = ticked != FALSE;
    return {DialogResult::Chosen, 0};
  }

  std::wstring BrowseFolder(HWND owner, const std::wstring& title) override {
    return folianto::BrowseFolder(owner, title);
  }

  void ShowMessage(HWND owner, const std::wstring& text) override {
    if (owner) {
      ::MessageBoxW(owner, text.c_str(), caption_, MB_OK);
      return;
    }
    // Without an owner the box must come on top of the other windows to be seen; not every system
    // honours MB_TOPMOST, so the box is also put there as it comes up.
    const UniqueHook hook(::SetWindowsHookExW(WH_CBT, PutOnTop, nullptr, ::GetCurrentThreadId()));
    ::MessageBoxW(nullptr, text.c_str(), caption_, MB_OK | MB_TOPMOST | MB_SETFOREGROUND);
  }

  int ShowChoice(HWND owner, const std::wstring& text,
                 std::span<const DialogButton> buttons) override {
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
    config.pszWindowTitle = caption_;
    config.pszContent = text.c_str();
    config.cButtons = static_cast<UINT>(taskButtons.size());
    config.pButtons = taskButtons.data();
    config.nDefaultButton = IDOK;
    int pressed = IDOK;
    // Without the common controls 6 (a program that lacks their manifest) it is a message box.
    if (!show || FAILED(show(&config, &pressed, nullptr, nullptr))) {
      ShowMessage(owner, text);
      return IDOK;
    }
    return pressed == IDCANCEL ? IDOK : pressed;
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

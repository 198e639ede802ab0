#include "platform/FileSaveDialog.h"

#include <shobjidl.h>
#include <cderr.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/SystemLibrary.h"
#include "platform/UiThread.h"
#include "platform/UniqueHandle.h"

namespace folianto {

namespace {

// CLSID_FileSaveDialog, which would otherwise come from a library of GUIDs.
constexpr CLSID kFileSaveDialog = {
    0xC0B4E2F3, 0xBA21, 0x4773, {0x8D, 0xBA, 0x33, 0x5E, 0xC9, 0x46, 0xEB, 0x8B}};
constexpr DWORD kCheckBoxId = 1;

DialogOutcome Failed(HRESULT result) {
  return {DialogResult::Failed, static_cast<uint32_t>(result)};
}

void SetOptions(IFileSaveDialog& save, uint32_t flags) {
  FILEOPENDIALOGOPTIONS options = 0;
  save.GetOptions(&options);
  options |= FOS_FORCEFILESYSTEM;
  if (flags & kAskBeforeReplacing) {
    options |= FOS_OVERWRITEPROMPT;
  } else {
    options &= ~static_cast<FILEOPENDIALOGOPTIONS>(FOS_OVERWRITEPROMPT);
  }
  save.SetOptions(options);
}

}  // namespace

DialogOutcome ShowFileSaveDialog(HWND owner, CommonDialog& dialog) {
  static const auto create =
      SystemFunction<decltype(&::CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
  if (!create || !StartComOnUiThread()) return {DialogResult::Failed, CDERR_INITIALIZATION};
  UniqueComPointer<IFileSaveDialog> save;
  HRESULT result = create(kFileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IFileSaveDialog),
                          reinterpret_cast<void**>(save.Put()));
  if (FAILED(result)) return Failed(result);

  if (!dialog.dialogTitle.empty()) save->SetTitle(dialog.dialogTitle.c_str());
  const auto pairs = FilterPairs(dialog.filter);
  std::vector<COMDLG_FILTERSPEC> types;
  for (const auto& [description, pattern] : pairs)
    types.push_back({description.c_str(), pattern.c_str()});
  if (!types.empty()) save->SetFileTypes(static_cast<UINT>(types.size()), types.data());
  if (!dialog.defaultExt.empty()) save->SetDefaultExtension(dialog.defaultExt.c_str());
  save->SetFileName(dialog.fileName.c_str());
  SetOptions(*save.Get(), dialog.flags);
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

}  // namespace folianto

#include "app/OpenFile.h"

#include "platform/Shell.h"

namespace folianto {

void OpenFile(HWND owner, DialogHost& dialogs, const std::wstring& path) {
  if (const DWORD error = OpenWithItsProgram(owner, path)) {
    dialogs.ShowMessage(owner, L"The file " + path + L" could not be opened (system error " +
                                   std::to_wstring(error) + L").");
  }
}

void ShowFileInFolder(HWND owner, DialogHost& dialogs, const std::wstring& path) {
  if (!ShowInFolder(path)) {
    dialogs.ShowMessage(owner, L"The folder of " + path + L" could not be shown.");
  }
}

}  // namespace folianto

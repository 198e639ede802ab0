#pragma once

#include <windows.h>

#include <string>

#include "platform/Dialogs.h"

namespace folianto {

// The ways to a file that the list's menu and the box of a successful join offer: Open, in the
// program Windows uses for its type, and Show in Folder, selected in an Explorer window. A failure
// is told in a message box over owner.
void OpenFile(HWND owner, DialogHost& dialogs, const std::wstring& path);
void ShowFileInFolder(HWND owner, DialogHost& dialogs, const std::wstring& path);

}  // namespace folianto

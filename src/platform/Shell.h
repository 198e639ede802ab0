#pragma once

#include <windows.h>

#include <string>

namespace folianto {

// Shows the shell's folder picker over owner. Returns the chosen folder's path (a drive root keeps
// its closing backslash), or the empty text when the user cancelled or the choice is not a folder
// of the file system. COM must be initialised on the calling thread.
std::wstring BrowseFolder(HWND owner, const std::wstring& title);

}  // namespace folianto

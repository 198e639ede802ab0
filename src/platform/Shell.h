#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace folianto {

// Shows the shell's folder picker over owner. Returns the chosen folder's path (a drive root keeps
// its closing backslash), or the empty text when the user cancelled or the choice is not a folder
// of the file system. COM must be initialised on the calling thread.
std::wstring BrowseFolder(HWND owner, const std::wstring& title);

// The paths of a drop, in the order the shell gives them; the drop is finished (released) here.
std::vector<std::wstring> DroppedPaths(HDROP drop);

// Lets files dropped from Explorer reach window, also when this program runs with higher rights
// than Explorer (an administrator's program filters other programs' messages out).
void AcceptDroppedFiles(HWND window);

}  // namespace folianto

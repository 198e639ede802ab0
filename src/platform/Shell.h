#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace folianto {

// Shows the shell's folder picker over owner: the chosen folder's path (a drive root keeps its
// closing backslash), or the empty text when the user cancelled or chose no file-system folder.
std::wstring BrowseFolder(HWND owner, const std::wstring& title);

// The paths of a drop, in the order the shell gives them; the drop is finished (released) here.
std::vector<std::wstring> DroppedPaths(HDROP drop);

// The arguments the program was started with, program name left out, as Explorer's Send To, a drop
// on the program's icon or "Open with" give them.
std::vector<std::wstring> ProgramArguments();

// Opens the file in the program Windows uses for its type; where none is set, the system asks the
// user which one to use. The system's error number, 0 on success or when the user cancelled.
DWORD OpenWithItsProgram(HWND owner, const std::wstring& path);

// Opens an Explorer window of the file's folder with the file selected; false when it could not.
bool ShowInFolder(const std::wstring& path);

// Compares two names as Explorer orders them: without regard to case, and digits by their value,
// so "page 2" comes before "page 10". Less than, equal to or greater than 0.
int CompareAsExplorer(const std::wstring& a, const std::wstring& b);

// Lets files dropped from Explorer reach window, also when this program runs with higher rights
// than Explorer (an administrator's program filters other programs' messages out).
void AcceptDroppedFiles(HWND window);

}  // namespace folianto

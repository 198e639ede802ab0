#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "filelist/FileList.h"
#include "filelist/FolderWalk.h"
#include "filelist/ListHistory.h"

namespace folianto {

// The paths an open dialog's file name stands for. One pick comes back as its full path; several
// come back NUL-separated as the folder followed by the names, each joined as folder + "\" + name.
// The folder is used as the dialog gives it, so a drive root yields "C:\\a.pdf".
std::vector<std::wstring> PickedPaths(std::wstring_view dialogFileName);

// What the user is told when the open dialog of "Add PDF File(s)" fails with its extended error
// code. Only a selection too big for the dialog's buffer is helped by picking fewer files.
std::wstring OpenDialogFailureMessage(uint32_t error);

// A dialog's extended error code as a message names it: "dialog error 0x3002".
std::wstring DialogErrorText(uint32_t error);

// Appends, in order, the picked paths that pass the PDF test; the others are skipped silently.
void AddPickedFiles(FileList& list, ListHistory& history, std::wstring_view dialogFileName);

// One file or folder dropped on the window.
struct DroppedItem {
  std::wstring path;
  bool isFolder = false;
};

// The entries a drop appends, in the order of the drop: a file when it passes the PDF test (the
// others are skipped silently, as picked ones are), a folder as "Add All PDF File(s) In Folder"
// walks it, its entries at its place in the drop.
std::vector<std::wstring> EntriesForDrop(const std::vector<DroppedItem>& items,
                                         DirectorySearch& search);

// What the user is told when some of the files and folders the program was started with are not
// there: each by its path, the others having been added.
std::wstring NotFoundMessage(const std::vector<std::wstring>& paths);

}  // namespace folianto

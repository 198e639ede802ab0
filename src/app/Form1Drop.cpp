// Files and folders dropped on the window, and the Delete key in the list.
#include "app/Form1.h"

#include "filelist/AddFiles.h"
#include "filelist/ListEditing.h"
#include "filelist/SystemDirectorySearch.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"

namespace folianto {

void Form1::DropFiles(HDROP drop) {
  std::vector<DroppedItem> items;
  for (std::wstring& path : DroppedPaths(drop)) {
    const bool isFolder = IsFolder(path);
    items.push_back({std::move(path), isFolder});
  }
  // Folders are walked as "Add All PDF File(s) In Folder" walks them, and all that the drop adds
  // is appended in one go with redraw off. A drop during a join appends like any other addition:
  // the running join's command line is complete.
  history_.Append(ListView1, EntriesForDrop(items, SystemDirectorySearch()));
}

void Form1::ListView1KeyDown(WORD key) {
  // Delete removes the selected entry as a double-click does, and keeps a selection to go on from.
  if (key != VK_DELETE) return;
  DeleteSelected(ListView1, history_);
}

}  // namespace folianto

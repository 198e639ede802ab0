// "Add All PDF File(s) In Folder".
#include "app/Form1.h"

#include "filelist/FolderWalk.h"
#include "filelist/SystemDirectorySearch.h"

namespace folianto {

void Form1::Check4Click() {
  if (Check4.Value() != 1) return;
  Check4.SetValue(0);

  const std::wstring folder = dialogs_.BrowseFolder(window_, L"Please select folder to add:");
  if (folder.empty()) return;
  // The whole tree is walked before the first entry is appended, and nothing lets window
  // messages through meanwhile.
  history_.Append(ListView1, AllPdfFilesInFolder(folder, SystemDirectorySearch()));
}

}  // namespace folianto

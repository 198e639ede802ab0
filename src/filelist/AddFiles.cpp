#include "filelist/AddFiles.h"

#include "filelist/PdfTest.h"
#include "platform/CommonDialog.h"
#include "platform/Hex.h"

namespace folianto {

std::vector<std::wstring> PickedPaths(std::wstring_view dialogFileName) {
  if (dialogFileName.empty()) return {};
  std::vector<std::wstring_view> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = dialogFileName.find(L'\0', start);
    parts.push_back(dialogFileName.substr(start, end - start));
    if (end == std::wstring_view::npos) break;
    start = end + 1;
  }
  if (parts.size() == 1) return {std::wstring(parts[0])};

  std::vector<std::wstring> paths;
  paths.reserve(parts.size() - 1);
  for (size_t j = 1; j < parts.size(); ++j) {
    std::wstring path(parts[0]);
    path += L'\\';
    path += parts[j];
    paths.push_back(std::move(path));
  }
  return paths;
}

std::wstring DialogErrorText(uint32_t error) {
  return L"dialog error 0x" + Hex(error, 4);
}

std::wstring OpenDialogFailureMessage(uint32_t error) {
  constexpr uint32_t kBufferTooSmall = 0x3003;  // FNERR_BUFFERTOOSMALL
  if (error == kBufferTooSmall) {
    return L"The selected files could not be read (" + DialogErrorText(error) +
           L"). No file was added; please select fewer files at a time.";
  }
  return L"The open dialog failed (" + DialogErrorText(error) + L"). No file was added.";
}

void AddPickedFiles(FileList& list, ListHistory& history, std::wstring_view dialogFileName) {
  std::vector<std::wstring> accepted;
  for (auto& path : PickedPaths(dialogFileName)) {
    if (PassesPdfTest(path)) accepted.push_back(std::move(path));
  }
  history.Append(list, accepted);
}

std::vector<std::wstring> EntriesForDrop(const std::vector<DroppedItem>& items,
                                         DirectorySearch& search) {
  std::vector<std::wstring> entries;
  for (const DroppedItem& item : items) {
    if (item.isFolder) {
      for (std::wstring& entry : AllPdfFilesInFolder(item.path, search))
        entries.push_back(std::move(entry));
    } else if (PassesPdfTest(item.path)) {
      entries.push_back(item.path);
    }
  }
  return entries;
}

std::wstring NotFoundMessage(const std::vector<std::wstring>& paths) {
  if (paths.size() == 1)
    return L"The file or folder " + paths[0] + L" was not found, so it was not added.";
  // A message box taller than the screen would hide its OK button.
  constexpr size_t kMostNamed = 20;
  std::wstring message = L"These files or folders were not found, so they were not added:\n";
  for (size_t i = 0; i < paths.size() && i < kMostNamed; ++i)
    message += L"\n" + paths[i];
  if (paths.size() > kMostNamed) {
    message += L"\n... and " + std::to_wstring(paths.size() - kMostNamed) + L" more.";
  }
  return message;
}

}  // namespace folianto

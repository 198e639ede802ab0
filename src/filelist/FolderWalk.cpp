#include "filelist/FolderWalk.h"

namespace folianto {

namespace {

// Junctions and symbolic links carry a name-surrogate tag. A reparse point without a known tag
// (Wine reports its symbolic links that way) is treated as a link too; one with another tag, such
// as a cloud-file placeholder, is an ordinary folder with content of its own.
constexpr uint32_t kNameSurrogateTagBit = 0x20000000;

bool IsFolderLink(const DirectoryEntry& entry) {
  if (!(entry.attributes & kAttributeReparsePoint)) return false;
  return entry.reparseTag == 0 || (entry.reparseTag & kNameSurrogateTagBit);
}

bool IsSubfolderToWalk(const DirectoryEntry& entry) {
  if (entry.name == L"." || entry.name == L"..") return false;
  if (!(entry.attributes & kAttributeDirectory)) return false;
  if (entry.attributes & (kAttributeHidden | kAttributeSystem)) return false;
  return !IsFolderLink(entry);
}

}  // namespace

void CollectSubfolders(std::vector<std::wstring>& folders, bool recurse, DirectorySearch& search) {
  // Level by level in place of recursion: the same order, and no stack depth tied to the tree's.
  size_t levelStart = 0;
  size_t levelEnd = folders.size();
  while (levelStart < levelEnd) {
    for (size_t i = levelStart; i < levelEnd; ++i) {
      const std::wstring parent = folders[i];
      const SearchResult result = search.Find(parent + L"*");
      if (result.error != 0) continue;
      for (const DirectoryEntry& entry : result.entries) {
        if (IsSubfolderToWalk(entry)) folders.push_back(parent + entry.name + L"\\");
      }
    }
    if (!recurse) break;
    levelStart = levelEnd;
    levelEnd = folders.size();
  }
}

std::vector<std::wstring> ListFiles(const std::wstring& folder, const std::wstring& pattern,
                                    DirectorySearch& search) {
  std::wstring path = folder;
  if (path.empty() || path.back() != L'\\') path += L'\\';
  path += pattern;
  SearchResult result = search.Find(path);
  std::vector<std::wstring> names;
  if (result.error != 0) return names;
  for (DirectoryEntry& entry : result.entries) {
    if (!(entry.attributes & kAttributeDirectory)) names.push_back(std::move(entry.name));
  }
  return names;
}

std::vector<std::wstring> AllPdfFilesInFolder(const std::wstring& folder, DirectorySearch& search) {
  std::vector<std::wstring> entries;
  if (folder.empty()) return entries;
  std::vector<std::wstring> folders{folder + L"\\"};
  CollectSubfolders(folders, true, search);
  for (const std::wstring& collected : folders) {
    const std::wstring d = collected.substr(0, collected.size() - 1);
    for (const std::wstring& name : ListFiles(d, L"*.pdf", search)) {
      if (!name.starts_with(L'~')) entries.push_back(d + L"\\" + name);
    }
  }
  return entries;
}

}  // namespace folianto

#include "filelist/FolderWalk.h"

#include <set>

namespace folianto {

namespace {

bool IsSubfolderToWalk(const DirectoryEntry& entry) {
  if (entry.name == L"." || entry.name == L"..") return false;
  if (!(entry.attributes & kAttributeDirectory)) return false;
  return !(entry.attributes & (kAttributeHidden | kAttributeSystem));
}

// The folders one walk has taken, by identity. Only a link (a reparse point) can lead to a folder
// a second time, and reading an identity costs a call to the file system per folder, so nothing
// is read until the walk meets its first link; from then on every folder's identity counts.
class TakenFolders {
 public:
  explicit TakenFolders(DirectorySearch& search) : search_(search) {}

  // Whether the folder at path is one to walk; if so it is taken from now on. taken holds the
  // folders taken so far.
  bool Take(const std::wstring& path, bool isLink, const std::vector<std::wstring>& taken) {
    if (!isLink && !tracking_) return true;
    if (!tracking_) {
      tracking_ = true;
      for (const std::wstring& folder : taken) {
        const std::optional<FileIdentity> identity = search_.IdentityOf(folder);
        if (identity && identity->Known()) identities_.insert(*identity);
      }
    }
    const std::optional<FileIdentity> identity = search_.IdentityOf(path);
    // A link that cannot be told apart may lead back up the tree; a folder that cannot is walked,
    // whatever others report the same unknown identity.
    if (!identity || !identity->Known()) return !isLink;
    return identities_.insert(*identity).second;
  }

 private:
  DirectorySearch& search_;
  bool tracking_ = false;
  std::set<FileIdentity> identities_;
};

}  // namespace

void CollectSubfolders(std::vector<std::wstring>& folders, bool recurse, DirectorySearch& search) {
  TakenFolders taken(search);
  // Level by level in place of recursion: the same order, and no stack depth tied to the tree's.
  size_t levelStart = 0;
  size_t levelEnd = folders.size();
  while (levelStart < levelEnd) {
    for (size_t i = levelStart; i < levelEnd; ++i) {
      const std::wstring parent = folders[i];
      const SearchResult result = search.Find(parent + L"*");
      if (result.error != 0) continue;
      for (const DirectoryEntry& entry : result.entries) {
        if (!IsSubfolderToWalk(entry)) continue;
        std::wstring path = parent + entry.name + L"\\";
        if (taken.Take(path, entry.attributes & kAttributeReparsePoint, folders)) {
          folders.push_back(std::move(path));
        }
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

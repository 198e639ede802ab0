#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileIdentity.h"

namespace folianto {

// Attribute bits as the file system reports them.
inline constexpr uint32_t kAttributeHidden = 0x2;
inline constexpr uint32_t kAttributeSystem = 0x4;
inline constexpr uint32_t kAttributeDirectory = 0x10;
inline constexpr uint32_t kAttributeReparsePoint = 0x400;

struct DirectoryEntry {
  std::wstring name;
  uint32_t attributes = 0;
};

struct SearchResult {
  std::vector<DirectoryEntry> entries;
  // The system's error number when the search itself failed (folder gone, access refused, drive
  // not ready, path too long); 0 when it ran, even if nothing matched.
  uint32_t error = 0;
};

// The file system's directory search: every entry whose name matches the wildcard pattern at the
// end of path ("C:\docs\*.pdf"), matched without regard to case, in the order the file system
// gives them. "." and ".." may be among them.
class DirectorySearch {
 public:
  virtual ~DirectorySearch() = default;
  virtual SearchResult Find(const std::wstring& path) = 0;
  // The identity of the folder at path, through any links on the way; none when it cannot be
  // read.
  virtual std::optional<FileIdentity> IdentityOf(const std::wstring& folder) = 0;
};

// Appends to folders (each ending in "\") their subfolders, and with recurse every level below,
// in level order: all folders one level down, grouped by parent in the parents' order, then two
// levels down, and so on; within one parent in search order. Hidden and system folders are left
// out with everything under them. Folder links (junctions, symbolic links, mount points) are
// followed, but no folder is taken twice, whatever paths lead to it: a link back up the tree, or
// a second link to a folder already taken, adds nothing. A folder whose search fails contributes
// no subfolders.
void CollectSubfolders(std::vector<std::wstring>& folders, bool recurse, DirectorySearch& search);

// The names of the files in folder (with or without a closing "\") that match pattern, in search
// order; hidden and system files included, folders not. Empty when nothing matched or the search
// failed.
std::vector<std::wstring> ListFiles(const std::wstring& folder, const std::wstring& pattern,
                                    DirectorySearch& search);

// The entries that "Add All PDF File(s) In Folder" appends for the chosen folder: every PDF file
// of the folder and of its subfolders at any depth, folder by folder in level order, as folder +
// "\" + name. Names beginning with "~" (lock files) are left out. A drive root keeps the doubled
// backslash its collection entry gives it ("C:\\a.pdf", "C:\\docs\b.pdf").
std::vector<std::wstring> AllPdfFilesInFolder(const std::wstring& folder, DirectorySearch& search);

}  // namespace folianto

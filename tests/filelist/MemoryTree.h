#pragma once

// A folder tree held in memory, searched the way the file system searches: names matched against
// a wildcard pattern without regard to case, entries in the order they were added, "." and ".."
// first except in a drive root, doubled backslashes read as one.
#include <cwctype>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "filelist/FolderWalk.h"

namespace folianto::testing {

struct Node {
  // A closing "\" in path, which is below the tree's root, makes it a folder.
  Node(std::wstring path, uint32_t attributes = 0)
      : path(std::move(path)), attributes(attributes) {}
  std::wstring path;
  uint32_t attributes;
  std::wstring linkTarget;       // searches inside the folder list this folder instead
  bool unreadable = false;       // every search inside the folder fails
  bool unknownIdentity = false;  // its identity has the index 0, as some network servers give
};

// A folder that is a reparse point; with a target, a link that leads there.
inline Node ReparsePoint(std::wstring path, std::wstring target = L"") {
  Node node(std::move(path), kAttributeReparsePoint);
  node.linkTarget = std::move(target);
  return node;
}

inline Node UnknownIdentity(std::wstring path) {
  Node node(std::move(path));
  node.unknownIdentity = true;
  return node;
}

inline Node Unreadable(std::wstring path) {
  Node node(std::move(path));
  node.unreadable = true;
  return node;
}

class MemoryTree final : public DirectorySearch {
 public:
  MemoryTree(std::wstring root, const std::vector<Node>& nodes) : root_(std::move(root)) {
    folders_[Key(root_)];
    for (const Node& node : nodes)
      Add(node);
  }

  SearchResult Find(const std::wstring& path) override {
    // A walk that follows a link back into the tree would never end; this ends it.
    if (++searches_ > 1000) return {{}, kErrorAccessDenied};
    const size_t slash = path.rfind(L'\\');
    const std::wstring folder = Resolve(Key(path.substr(0, slash)));
    const std::wstring pattern = path.substr(slash + 1);
    if (unreadable_.count(folder)) return {{}, kErrorAccessDenied};
    const auto found = folders_.find(folder);
    if (found == folders_.end()) return {{}, kErrorPathNotFound};

    SearchResult result;
    if (folder.find(L'\\') != std::wstring::npos) {
      for (const wchar_t* dots : {L".", L".."}) {
        if (Matches(pattern, dots)) result.entries.push_back({dots, kAttributeDirectory});
      }
    }
    for (const DirectoryEntry& entry : found->second) {
      if (Matches(pattern, entry.name)) result.entries.push_back(entry);
    }
    return result;
  }

  // A folder is known by the place its links lead to; "unreadable" ones too, as the file system
  // reads an identity without listing the folder.
  std::optional<FileIdentity> IdentityOf(const std::wstring& folder) override {
    ++identityReads_;
    const std::wstring key = Resolve(Key(folder));
    const auto found = folders_.find(key);
    if (found == folders_.end()) return std::nullopt;
    if (unknownIdentities_.count(key)) return FileIdentity{7};
    return FileIdentity{7, static_cast<uint64_t>(std::distance(folders_.begin(), found)) + 1};
  }

  int Searches() const { return searches_; }
  int IdentityReads() const { return identityReads_; }

 private:
  static constexpr uint32_t kErrorPathNotFound = 3;
  static constexpr uint32_t kErrorAccessDenied = 5;

  // A node's folder must have been added before it.
  void Add(const Node& node) {
    const std::wstring key = Key(root_ + L"\\" + node.path);
    DirectoryEntry entry{LastPart(node.path), node.attributes};
    if (node.path.ends_with(L'\\')) {
      entry.attributes |= kAttributeDirectory;
      folders_[key];
    }
    folders_.at(key.substr(0, key.rfind(L'\\'))).push_back(entry);
    if (!node.linkTarget.empty()) links_[key] = Key(node.linkTarget);
    if (node.unreadable) unreadable_.insert(key);
    if (node.unknownIdentity) unknownIdentities_.insert(key);
  }

  static std::wstring LastPart(std::wstring path) {
    if (path.ends_with(L'\\')) path.pop_back();
    return path.substr(path.rfind(L'\\') + 1);
  }

  // Lower case, single backslashes, none at the end.
  static std::wstring Key(const std::wstring& path) {
    std::wstring key;
    for (wchar_t c : path) {
      if (c == L'\\' && key.ends_with(L'\\')) continue;
      key += static_cast<wchar_t>(std::towlower(c));
    }
    if (key.ends_with(L'\\')) key.pop_back();
    return key;
  }

  std::wstring Resolve(const std::wstring& key) const {
    std::wstring resolved;
    size_t start = 0;
    while (start <= key.size()) {
      size_t end = key.find(L'\\', start);
      if (end == std::wstring::npos) end = key.size();
      resolved += (resolved.empty() ? L"" : L"\\") + key.substr(start, end - start);
      const auto link = links_.find(resolved);
      if (link != links_.end()) resolved = link->second;
      start = end + 1;
    }
    return resolved;
  }

  static bool Matches(std::wstring_view pattern, std::wstring_view name) {
    if (pattern.empty()) return name.empty();
    if (pattern[0] == L'*') {
      for (size_t skip = 0; skip <= name.size(); ++skip) {
        if (Matches(pattern.substr(1), name.substr(skip))) return true;
      }
      return false;
    }
    if (name.empty()) return false;
    if (pattern[0] != L'?' && std::towlower(pattern[0]) != std::towlower(name[0])) return false;
    return Matches(pattern.substr(1), name.substr(1));
  }

  std::wstring root_;
  std::map<std::wstring, std::vector<DirectoryEntry>> folders_;
  std::map<std::wstring, std::wstring> links_;
  std::set<std::wstring> unreadable_;
  std::set<std::wstring> unknownIdentities_;
  int searches_ = 0;
  int identityReads_ = 0;
};

}  // namespace folianto::testing

#pragma once

#include <cassert>
#include <string>
#include <vector>

#include "filelist/FileList.h"

namespace folianto {

// A File list held in memory, for logic that is tested without a window. The selection follows
// insertions and removals the way a list control's does.
class MemoryFileList final : public FileList {
 public:
  MemoryFileList() = default;
  explicit MemoryFileList(std::vector<std::wstring> entries) : entries_(std::move(entries)) {}

  int Count() const override { return static_cast<int>(entries_.size()); }
  std::wstring Text(int position) const override { return entries_.at(Index(position)); }
  void Append(const std::wstring& text) override { entries_.push_back(text); }
  void Insert(int position, const std::wstring& text) override {
    assert(position >= 1 && position <= Count() + 1);
    entries_.insert(entries_.begin() + (position - 1), text);
    if (selected_ >= position) ++selected_;
  }
  void Remove(int position) override {
    entries_.erase(entries_.begin() + Index(position));
    if (selected_ == position) {
      selected_ = 0;
    } else if (selected_ > position) {
      --selected_;
    }
  }
  int Selected() const override { return selected_; }
  void Select(int position) override {
    assert(position >= 0 && position <= Count());
    selected_ = position;
  }

  const std::vector<std::wstring>& Entries() const { return entries_; }

 private:
  size_t Index(int position) const {
    assert(position >= 1 && position <= Count());
    return static_cast<size_t>(position - 1);
  }

  std::vector<std::wstring> entries_;
  int selected_ = 0;
};

}  // namespace folianto

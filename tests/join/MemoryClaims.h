#pragma once

// File claims kept in memory, for one test's joins: a file is the same as another when `same`
// says so.
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "join/RunningJoins.h"

namespace folianto::testing {

class MemoryClaims final : public FileClaims {
 public:
  using SameFile = std::function<bool(const std::wstring&, const std::wstring&)>;
  explicit MemoryClaims(SameFile same) : same_(std::move(same)) {}

  // Another Folianto holds the look at the claims and does not let go.
  bool lockTaken = false;

  // A file goes by its path and by those of the others that are the same file.
  std::vector<Key> KeysOf(const std::vector<std::wstring>& paths) override {
    std::vector<Key> keys;
    for (const std::wstring& path : paths) {
      Key& key = keys.emplace_back(Key{path, {path}});
      for (const std::wstring& other : paths) {
        if (other != path && same_(path, other)) key.names.push_back(other);
      }
    }
    return keys;
  }
  std::optional<bool> Claimed(const Key& file, Use use) override {
    for (const auto& [claimed, claimedUse] : marks_) {
      if (claimedUse == use && same_(claimed, file.path)) return true;
    }
    return false;
  }
  std::unique_ptr<Held> Hold(const Key& file, Use use) override {
    return std::make_unique<Mark>(*this, marks_.emplace(marks_.end(), file.path, use));
  }
  std::unique_ptr<Locked> Lock() override {
    return lockTaken ? nullptr : std::make_unique<Locked>();
  }
  size_t Marks() const { return marks_.size(); }

 private:
  using MarkList = std::list<std::pair<std::wstring, Use>>;
  class Mark final : public Held {
   public:
    Mark(MemoryClaims& claims, MarkList::iterator mark) : claims_(claims), mark_(mark) {}
    ~Mark() override { claims_.marks_.erase(mark_); }
    // Each mark stands for itself.
    std::vector<void*> Handles() const override { return {const_cast<Mark*>(this)}; }

   private:
    MemoryClaims& claims_;
    MarkList::iterator mark_;
  };

  SameFile same_;
  MarkList marks_;
};

}  // namespace folianto::testing

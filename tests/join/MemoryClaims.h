#pragma once

// File claims kept in memory, for one test's joins: a file is the same as another when `same`
// says so.
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <utility>

#include "join/RunningJoins.h"

namespace folianto::testing {

class MemoryClaims final : public FileClaims {
 public:
  using SameFile = std::function<bool(const std::wstring&, const std::wstring&)>;
  explicit MemoryClaims(SameFile same) : same_(std::move(same)) {}

  bool Claimed(const std::wstring& path, Use use) override {
    for (const auto& [claimed, claimedUse] : marks_) {
      if (claimedUse == use && same_(claimed, path)) return true;
    }
    return false;
  }
  std::unique_ptr<Held> Hold(const std::wstring& path, Use use) override {
    return std::make_unique<Mark>(marks_, marks_.emplace(marks_.end(), path, use));
  }
  std::unique_ptr<Held> Lock() override { return nullptr; }
  size_t Marks() const { return marks_.size(); }

 private:
  using MarkList = std::list<std::pair<std::wstring, Use>>;
  class Mark final : public Held {
   public:
    Mark(MarkList& marks, MarkList::iterator mark) : marks_(marks), mark_(mark) {}
    ~Mark() override { marks_.erase(mark_); }

   private:
    MarkList& marks_;
    MarkList::iterator mark_;
  };

  SameFile same_;
  MarkList marks_;
};

}  // namespace folianto::testing

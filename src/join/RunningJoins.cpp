#include "join/RunningJoins.h"

#include <algorithm>
#include <utility>

namespace folianto {

RunningJoins::Join::Join(RunningJoins& joins) : joins_(joins) {
  joins_.running_.push_back(this);
  if (joins_.running_.size() == 1 && joins_.onRunningChanged) joins_.onRunningChanged(true);
}

RunningJoins::Join::~Join() {
  held_.clear();
  std::erase(joins_.running_, this);
  if (joins_.running_.empty() && joins_.onRunningChanged) joins_.onRunningChanged(false);
}

std::optional<std::wstring> RunningJoins::Join::Claim(JoinFiles files) {
  using Use = FileClaims::Use;
  FileClaims& claims = joins_.claims_;
  const auto lock = claims.Lock();
  if (claims.Claimed(files.output, Use::Read) || claims.Claimed(files.output, Use::Write))
    return files.output;
  for (const std::wstring& input : files.inputs) {
    if (claims.Claimed(input, Use::Write)) return input;
  }
  for (const std::wstring& input : files.inputs)
    held_.push_back(claims.Hold(input, Use::Read));
  held_.push_back(claims.Hold(files.output, Use::Write));
  files_ = std::move(files);
  return std::nullopt;
}

void RunningJoins::Join::Made(const std::wstring& path) {
  made_.push_back(path);
}

void RunningJoins::Join::Removed(const std::wstring& path) {
  if (const auto found = std::find(made_.begin(), made_.end(), path); found != made_.end())
    made_.erase(found);
}

}  // namespace folianto

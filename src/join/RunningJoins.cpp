#include "join/RunningJoins.h"

#include <utility>

namespace folianto {

RunningJoins::Entry::Entry(RunningJoins& joins, JoinFiles files)
    : joins_(joins), files_(std::move(files)) {
  joins_.running_.push_back(&files_);
}

RunningJoins::Entry::~Entry() {
  std::erase(joins_.running_, &files_);
}

std::optional<std::wstring> RunningJoins::FileInUse(const JoinFiles& files,
                                                    const SameFileFinder& sameFileAmong) const {
  for (const JoinFiles* running : running_) {
    std::vector<std::wstring> used = running->inputs;
    used.push_back(running->output);
    if (sameFileAmong(files.output, used)) return files.output;
    if (const auto input = sameFileAmong(running->output, files.inputs))
      return files.inputs[*input];
  }
  return std::nullopt;
}

}  // namespace folianto

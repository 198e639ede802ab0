#include "join/RunningJoins.h"

#include <algorithm>
#include <utility>

namespace folianto {

RunningJoins::Join::Join(RunningJoins& joins) : joins_(joins) {
  joins_.running_.push_back(this);
  if (joins_.running_.size() == 1 && joins_.onRunningChanged) joins_.onRunningChanged(true);
}

RunningJoins::Join::~Join() {
  ToolRunning(false);
  held_.clear();
  std::erase(joins_.running_, this);
  if (joins_.running_.empty() && joins_.onRunningChanged) joins_.onRunningChanged(false);
}

std::optional<std::wstring> RunningJoins::Join::ClaimFiles(JoinFiles files) {
  using Use = FileClaims::Use;
  FileClaims& claims = joins_.claims_;
  // Read before the look, which holds up every other Folianto's join while it lasts: on a slow
  // share a file's identity can take seconds.
  std::vector<std::wstring> paths = files.inputs;
  paths.push_back(files.output);
  std::vector<FileClaims::Key> inputs = claims.KeysOf(paths);
  const FileClaims::Key output = std::move(inputs.back());
  inputs.pop_back();
  const auto lock = claims.Lock();
  if (!lock)
    return L"Another Folianto is starting a join. Try again in a moment. Nothing was joined.";
  const auto inUse = [](const std::wstring& path) {
    return L"The file " + path + L" is in use by a join that is still running. Nothing was joined.";
  };
  if (claims.Claimed(output, Use::Read) || claims.Claimed(output, Use::Write))
    return inUse(files.output);
  for (const FileClaims::Key& input : inputs) {
    if (claims.Claimed(input, Use::Write)) return inUse(input.path);
  }
  for (const FileClaims::Key& input : inputs)
    held_.push_back(claims.Hold(input, Use::Read));
  held_.push_back(claims.Hold(output, Use::Write));
  files_ = std::move(files);
  return std::nullopt;
}

std::vector<void*> RunningJoins::Join::ForTools() const {
  std::vector<void*> handles;
  for (const auto& held : held_) {
    const std::vector<void*> more = held->Handles();
    handles.insert(handles.end(), more.begin(), more.end());
  }
  return handles;
}

void RunningJoins::Join::ToolRunning(bool running) {
  if (running == toolRunning_) return;
  toolRunning_ = running;
  if (running) {
    ++joins_.toolsRunning_;
  } else {
    --joins_.toolsRunning_;
  }
  if (joins_.onToolsChanged) joins_.onToolsChanged();
}

std::vector<std::wstring> RunningJoins::Join::Left() const {
  return workspace_ ? workspace_->Left() : std::vector<std::wstring>{};
}

}  // namespace folianto

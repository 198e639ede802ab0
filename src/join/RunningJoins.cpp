#include "join/RunningJoins.h"

#include <algorithm>
#include <utility>

namespace folianto {

RunningJoins::Join::Join(RunningJoins& joins) : joins_(joins) {
  joins_.running_.push_back(this);
  if (joins_.running_.size() == 1 && joins_.onRunningChanged) joins_.onRunningChanged(true);
}

RunningJoins::Join::~Join() {
  Waiting(false);
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
  // The tool would write over an input while reading it.
  for (const FileClaims::Key& input : inputs) {
    for (const std::wstring& name : input.names) {
      if (std::find(output.names.begin(), output.names.end(), name) != output.names.end())
        return L"The output file cannot be one of the files being joined.";
    }
  }
  const auto lock = claims.Lock();
  if (!lock)
    return L"Another Folianto is starting a join. Try again in a moment. Nothing was joined.";
  // A mark that cannot be looked at or made would let another join use the file unseen.
  const std::wstring heldByAnother =
      L", since another program holds the name Folianto marks it by. Nothing was joined.";
  const auto refusal = [&](const FileClaims::Key& file, Use use) -> std::optional<std::wstring> {
    const std::optional<bool> claimed = claims.Claimed(file, use);
    if (!claimed) {
      return L"Folianto cannot tell whether a join that is still running uses the file " +
             file.path + heldByAnother;
    }
    if (*claimed) {
      return L"The file " + file.path +
             L" is in use by a join that is still running. Nothing was joined.";
    }
    return std::nullopt;
  };
  for (const Use use : {Use::Read, Use::Write}) {
    if (auto refused = refusal(output, use)) return refused;
  }
  for (const FileClaims::Key& input : inputs) {
    if (auto refused = refusal(input, Use::Write)) return refused;
  }
  // All the marks are made, or none is kept.
  std::vector<std::unique_ptr<FileClaims::Held>> held;
  const auto notHeld = [&](const FileClaims::Key& file, Use use) -> std::optional<std::wstring> {
    if (held.emplace_back(claims.Hold(file, use))) return std::nullopt;
    return L"Folianto cannot mark the file " + file.path + L" as used by this join" + heldByAnother;
  };
  for (const FileClaims::Key& input : inputs) {
    if (auto refused = notHeld(input, Use::Read)) return refused;
  }
  if (auto refused = notHeld(output, Use::Write)) return refused;
  held_ = std::move(held);
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

void RunningJoins::Join::Waiting(bool waiting) {
  if (waiting == waiting_) return;
  waiting_ = waiting;
  if (waiting) {
    ++joins_.waiting_;
  } else {
    --joins_.waiting_;
  }
  if (joins_.onWaitingChanged) joins_.onWaitingChanged();
}

std::vector<std::wstring> RunningJoins::Join::Left() const {
  return workspace_ ? workspace_->Left() : std::vector<std::wstring>{};
}

}  // namespace folianto

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "join/JoinCommand.h"
#include "join/ToolPaths.h"

namespace folianto {

// One join as the tool runs it.
struct JoinRun {
  // As the tool is handed it.
  const std::wstring& applicationFolder;
  // The list's entries at the click, as the user sees them.
  const std::vector<std::wstring>& entries;
  // Their paths and the output's as the tool is handed them.
  const ToolPaths& tool;
  bool bookmarkEachFile = false;
};

// How the steps of a join ended: the run of the tool that tells it (the last one, or the one that
// failed), or a message of their own in its place; an empty message says nothing (the user
// cancelled). Where no tool ran, the run counts as not started.
struct JoinStepsOutcome {
  ToolRun run;
  std::optional<std::wstring> message;
};

// Runs the tool on the join: one run, as always, when nothing more is chosen or needed. While it
// fails because inputs need a password, asks the tool which ones, asks the user for each in list
// order, opens each with its password in a run of its own and joins again. With a bookmark for
// each file, the join is followed by one reading of its outline and one writing of the new one.
// Whatever the steps make of the inputs' content (what is decrypted, the outline, the join
// before its outline) lies in the join's private folder, in its workspace, which the join
// empties at its end.
JoinStepsOutcome RunJoinSteps(const JoinHost& host, const JoinRun& join);

}  // namespace folianto

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileIdentity.h"

namespace folianto {

// A new name for something a join makes: "folianto-" and eight small letters chosen at random,
// then ".tmp" for a file. Plain ASCII, so pdftk.exe reads it whole in any code page.
std::wstring MadeName(bool file);

// Something a join made, as its record keeps it: a file (a temporary output, a link, a copy) or a
// folder, and the identity it had when it was made.
struct MadeItem {
  bool folder = false;
  FileIdentity identity;
  std::wstring path;

  bool operator==(const MadeItem&) const = default;
};

// A tool a join started: its process id, and when it started, which tells it from a later process
// given the same id.
struct StartedTool {
  uint32_t id = 0;
  uint64_t start = 0;

  bool operator==(const StartedTool&) const = default;
};

// The lines a record is written in, one at a time as the join goes: UTF-8, each ending with a
// line break, so that a record cut short by the program's end still reads up to its last line.
std::string RecordLine(const MadeItem& item);
std::string RecordLine(const StartedTool& tool);
// The join no longer has the thing at path: it was handed over to the user, renamed, or removed.
std::string ForgetLine(const std::wstring& path);

// What a record tells: what is still the join's, in the order it was made, the tools it started,
// and what it no longer has (the files in its folder it handed over to the user among them).
// Lines it cannot read are passed over.
struct RecordContent {
  std::vector<MadeItem> made;
  std::vector<StartedTool> tools;
  std::vector<std::wstring> kept;
};
RecordContent ReadRecord(std::string_view text);

}  // namespace folianto

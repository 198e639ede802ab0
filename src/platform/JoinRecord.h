#pragma once

#include <windows.h>

#include <string>

#include "platform/UniqueHandle.h"

namespace folianto {

// A record on disk, in a folder of the user's temporary folder, of what one join has made (links,
// copies, their folders, a temporary output) and of the tools it ran. A later start of Folianto
// finds it when this program ended before its join could remove what it made: a crash, End task,
// or the end of the wait after a close. Nothing is written for a join that makes nothing.
class JoinRecord {
 public:
  JoinRecord() = default;
  // The join has removed what it made: the record goes, unless it is kept for a later start.
  ~JoinRecord();
  JoinRecord(const JoinRecord&) = delete;
  JoinRecord& operator=(const JoinRecord&) = delete;

  // Something the join made, or is about to make, at path.
  void Made(const std::wstring& path);
  // A tool the join started: what it made stays while the tool may still use it.
  void ToolStarted(HANDLE process);
  // Something made could not be removed: a later start tries again.
  void KeepForLater() { keep_ = true; }

 private:
  void Write(const std::string& line);

  UniqueFileHandle file_;
  std::wstring path_;
  bool keep_ = false;
};

// Removes what the joins of Folianto processes that have ended left, as their records name it,
// once the tools they ran have ended too, and the records themselves. Only names that Folianto
// gives what it makes are removed ("folianto-" and eight letters, and what such a folder holds),
// and only empty folders. Costs one look at the file system when no record is there.
void RemoveWhatEndedJoinsLeft();

}  // namespace folianto

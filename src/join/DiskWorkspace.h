#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "join/JoinWorkspace.h"
#include "join/WorkspaceRecord.h"
#include "platform/FileHandles.h"

namespace folianto {

// A join's workspace on the real file system. Each thing is made under a name no one has and
// opened in the same step, and is in the join's record on disk with its identity before anything
// else happens; until then the system removes it should the program end. It goes only through a
// handle opened without following a link, while it is a plain file or folder with the recorded
// identity; what lies in a folder of the join's is opened through that folder. The record lies in
// the user's temporary folder, in "folianto-joins", which only this user can read, and goes when
// nothing is left; a later start finds one left by a join that could not finish (a crash, End
// task, the wait after a close given up) and removes what it names the same way.
class DiskWorkspace final : public JoinWorkspace {
 public:
  // temporaryFolder holds the records and the private folder; wait waits for a copy to end.
  DiskWorkspace(std::wstring temporaryFolder, WaitFor wait);
  // What is left stays in the record for a later start; without anything left the record goes.
  ~DiskWorkspace() override;
  DiskWorkspace(const DiskWorkspace&) = delete;
  DiskWorkspace& operator=(const DiskWorkspace&) = delete;

  std::wstring MakeFile(const std::wstring& folder, std::string_view content = {}) override;
  std::wstring MakeFolder(const std::wstring& folder) override;
  std::wstring PrivateFolder() override;
  std::wstring MakeNamedFile(const std::wstring& folder, const std::wstring& name) override;
  std::wstring MakeHardLink(const std::wstring& folder, const std::wstring& name,
                            const std::wstring& target) override;
  std::wstring MakeCopy(const std::wstring& folder, const std::wstring& name,
                        const std::wstring& from) override;
  void Wrote(const std::wstring& path) override;
  Naming GiveName(const std::wstring& path, const std::wstring& target) override;
  std::vector<std::wstring> RemoveAll() override;
  std::vector<std::wstring> Left() const override;

  // A tool the join started and that has not run yet: in the record before it can write, so that
  // nothing the join made goes while the tool may still use it.
  void ToolStarted(HANDLE process);

  // Told after each step that changes the disk ("made"; "filling" when what is made is about to
  // be written or copied into; "tool" when a tool is about to run; "renamed" before the record
  // hears of it, "named" after; "removed"), for tests that end the program there.
  static void ObserveSteps(std::function<void(std::wstring_view step)> observer);

 private:
  friend void RemoveWhatEndedJoinsLeft(const std::wstring& temporaryFolder);
  struct Entry {
    MadeItem item;
    // A folder's own handle while the join has it open: what is in it is reached through it.
    UniqueFileHandle handle;
  };
  enum class Removal { Gone, Left, NotOurs };

  // Read back from a record, which it then writes to.
  DiskWorkspace(std::wstring temporaryFolder, std::vector<MadeItem> made, UniqueFileHandle record);

  std::wstring Make(const std::wstring& folder, const std::wstring& name, bool isFolder,
                    Access access, const std::function<bool(HANDLE)>& fill = {});
  void Note(const std::string& line);
  void Forget(const std::wstring& path);
  std::wstring HandOver(const std::wstring& path);
  Entry* Find(const std::wstring& path);
  Entry* MadeFolderAt(const std::wstring& path);
  // The folder of the join's that holds path.
  Entry* FolderOf(const std::wstring& path);
  HANDLE FolderHandle(Entry& folder, Removal& otherwise);
  OpenedItem Open(Entry& entry, Removal& otherwise);
  Removal Remove(Entry& entry);

  std::wstring temporaryFolder_;
  WaitFor wait_;
  std::vector<Entry> made_;
  std::wstring private_;
  UniqueFileHandle records_;
  UniqueFileHandle record_;
  bool recordTried_ = false;
};

// Removes what the joins of Folianto programs that have ended left, as their records in
// temporaryFolder tell it, once the tools they started have ended too, and then the records. Only
// records this user owns are read, and only what is still the very thing a join made is removed.
void RemoveWhatEndedJoinsLeft(const std::wstring& temporaryFolder);

}  // namespace folianto

#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "join/JoinWorkspace.h"
#include "join/WorkspaceRecord.h"
#include "platform/FileHandles.h"

namespace folianto {

// A join's workspace on the real file system. The own folder is made for this user alone, and read
// back: where its access list did not take, nothing of the inputs' content goes there. It and the
// temporary name beside the output are each made under a name no one has and opened in the same
// step, and are in the join's record on disk with their identities before anything else happens;
// until then the system removes them should the program end. The record lies in the user's
// temporary folder, in "folianto-joins", which only this user can read; it also names the tools
// the join started. Each goes only through a handle opened without following a link, while it is
// a plain file or folder with the recorded identity; what lies in the own folder is reached only
// through the folder's handle, and all of it goes, but for a file handed over to the user. A later
// start finds the record of a join that could not finish (a crash, End task, the wait after a
// close given up) and removes what it names the same way, once the tools have ended. A line the
// record cannot take ends the record: what it would no longer tell is never removed by a later
// start.
class DiskWorkspace final : public JoinWorkspace {
 public:
  // Waits for a copy to end, what it is in words ("copy of C:\\a.pdf"); false when it gave up.
  using CopyWait = std::function<bool(HANDLE copy, const std::wstring& what)>;
  // temporaryFolder holds the records and the own folder.
  DiskWorkspace(std::wstring temporaryFolder, CopyWait wait);
  // What is left stays in the record for a later start; without anything left the record goes.
  ~DiskWorkspace() override;
  DiskWorkspace(const DiskWorkspace&) = delete;
  DiskWorkspace& operator=(const DiskWorkspace&) = delete;

  Folder OwnFolder() override;
  std::wstring MakeBeside(const std::wstring& target) override;
  std::wstring MakeFile(std::string_view content = {}) override;
  std::wstring MakeStandIn(const std::wstring& input) override;
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
  // What replaces a file in one step, for tests that fail it half-way; what copies an input, for
  // tests that stall it as a drive that does not answer would.
  static void ReplaceWith(ReplaceCall replace);
  using CopyCall = bool (*)(const std::wstring& from, HANDLE to, const WaitFor& wait);
  static void CopyWith(CopyCall copy);

 private:
  friend void RemoveWhatEndedJoinsLeft(const std::wstring& temporaryFolder,
                                       const std::atomic<bool>& stop);
  enum class Removal { Gone, Left, NotOurs };
  using Fill = std::function<bool(HANDLE made)>;

  // Read back from a record, which it then writes to.
  DiskWorkspace(std::wstring temporaryFolder, RecordContent content, UniqueFileHandle record,
                const std::atomic<bool>& stop);

  bool Note(const std::string& line);
  // A file or folder in the record, under a made name in folder; handle, when asked, takes its
  // handle; a file may take the access list of the open item accessOf.
  std::wstring MakeRecorded(const std::wstring& folder, bool isFolder, Access access,
                            const Fill& fill = {}, UniqueFileHandle* handle = nullptr,
                            HANDLE accessOf = nullptr);
  // A file in the record beside target, with target's access list where target is there.
  std::wstring MakeRecordedBeside(const std::wstring& target, const Fill& fill = {},
                                  UniqueFileHandle* handle = nullptr);
  std::wstring MakeInOwn(const wchar_t* ending, const Fill& fill = {});
  std::wstring HandOver(const std::wstring& path);
  void Forget(const std::wstring& path);
  Removal Remove(const MadeItem& made, std::vector<std::wstring>& left);
  bool Stopped() const { return stop_ && *stop_; }

  std::wstring temporaryFolder_;
  CopyWait wait_;
  std::vector<MadeItem> made_;
  // Files in the own folder handed over to the user, never removed.
  std::vector<std::wstring> kept_;
  std::optional<Folder> own_;
  // The own folder's, opened only to make things in.
  UniqueFileHandle ownHandle_;
  bool removesReadOnly_ = false;
  // The joined file's temporary name, kept in place while the tool writes it.
  OpenedItem besideHeld_;
  int names_ = 0;
  UniqueFileHandle record_;
  bool recordTried_ = false;
  const std::atomic<bool>* stop_ = nullptr;
};

// Removes what the joins of Folianto programs that have ended left, as their records in
// temporaryFolder tell it, once the tools they started have ended too, and then the records. Only
// records this user owns are read, and only what is still the very thing a join made is removed.
// Looks at stop between its steps and ends there once it is set.
void RemoveWhatEndedJoinsLeft(const std::wstring& temporaryFolder, const std::atomic<bool>& stop);

}  // namespace folianto

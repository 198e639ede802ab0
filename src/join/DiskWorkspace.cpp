#include "join/DiskWorkspace.h"

#include <algorithm>
#include <cwctype>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Process.h"

namespace folianto {

namespace {

constexpr wchar_t kRecordsFolder[] = L"folianto-joins";
constexpr wchar_t kRecordEnding[] = L".join";
// A record names a few things; anything much longer is no record of a join.
constexpr size_t kMaxRecordBytes = 1024 * 1024;

std::function<void(std::wstring_view)>& StepObserver() {
  static std::function<void(std::wstring_view)> observer;
  return observer;
}

void Step(std::wstring_view step) {
  if (const auto& observer = StepObserver()) observer(step);
}

bool IsTaken(DWORD error) {
  return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
}

// Nothing is there any more, or it is on its way out. Access denied tells nothing of the kind.
bool IsGone(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_DELETE_PENDING;
}

// The very thing that was made: not a link, of the same kind and identity. Some network servers
// tell no identity (index 0); there the kind is all that can be checked, which for a folder, all
// of which goes, is too little.
bool Matches(const OpenedItem& opened, const MadeItem& item) {
  if (opened.link || opened.folder != item.folder) return false;
  if (!item.identity.Known()) return !item.folder;
  return IdentityOfOpen(opened.handle.Get()) == item.identity;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](wchar_t x, wchar_t y) { return std::towupper(x) == std::towupper(y); });
}

// A new file or folder in the open folder in, under the next name that no one has taken.
template <typename NextName>
OpenedItem MakeNew(HANDLE in, bool isFolder, Access access, NextName next, std::wstring& name,
                   HANDLE accessOf = nullptr) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = next();
    OpenedItem made = isFolder ? CreateNewFolder(in, name, access, true)
                               : CreateNewFile(in, name, access, accessOf);
    if (made || !IsTaken(made.error)) return made;
  }
  return {};
}

// The folder of the records, made for this user alone on first use. One of that name that is not
// this user's own plain folder that only this user can reach (another account's, in a temporary
// folder users share, a link, one on a drive without access lists) is never used.
OpenedItem OpenRecordsFolder(const std::wstring& temporary, bool create) {
  if (temporary.empty()) return {};
  const std::wstring path = InFolder(temporary, kRecordsFolder);
  OpenedItem folder = OpenWithoutFollowing(path);
  bool made = false;
  if (!folder && create) {
    const UniqueFileHandle parent = OpenFolderToMakeIn(temporary);
    folder = CreateNewFolder(parent.Get(), kRecordsFolder, Access::ThisUserOnly);
    made = static_cast<bool>(folder);
    // Another start made it meanwhile.
    if (!folder && IsTaken(folder.error)) folder = OpenWithoutFollowing(path);
  }
  if (folder && folder.folder && !folder.link && OnlyThisUserCanReach(folder.handle.Get()))
    return folder;
  // One made on a drive that keeps no access lists goes again at once.
  if (made) MarkForRemoval(folder.handle.Get(), true);
  return {};
}

ReplaceCall g_replace = &::ReplaceFileW;
DiskWorkspace::CopyCall g_copy = &CopyContent;

StartedTool Started(HANDLE process) {
  return {ProcessIdOf(process), StartTimeOf(process)};
}

}  // namespace

void DiskWorkspace::ObserveSteps(std::function<void(std::wstring_view)> observer) {
  StepObserver() = std::move(observer);
}

void DiskWorkspace::ReplaceWith(ReplaceCall replace) {
  g_replace = replace;
}

void DiskWorkspace::CopyWith(CopyCall copy) {
  g_copy = copy;
}

DiskWorkspace::DiskWorkspace(std::wstring temporaryFolder, CopyWait wait)
    : temporaryFolder_(std::move(temporaryFolder)), wait_(std::move(wait)) {}

DiskWorkspace::DiskWorkspace(std::wstring temporaryFolder, RecordContent content,
                             UniqueFileHandle record, const std::atomic<bool>& stop)
    : temporaryFolder_(std::move(temporaryFolder)),
      made_(std::move(content.made)),
      kept_(std::move(content.kept)),
      own_(Folder{}),
      record_(std::move(record)),
      recordTried_(true),
      stop_(&stop) {}

DiskWorkspace::~DiskWorkspace() {
  ownHandle_.Reset();
  if (!record_ || !made_.empty()) return;
  RemoveOpened(record_.Get());
  record_.Reset();
  // The folder goes with its last record; the system refuses while another is in it.
  if (const OpenedItem folder = OpenRecordsFolder(temporaryFolder_, false))
    MarkForRemoval(folder.handle.Get(), true);
}

bool DiskWorkspace::Note(const std::string& line) {
  // Without a temporary folder or a folder of records the join still runs; only a later start
  // cannot tidy up after it. Another start may remove the folder the moment it is empty: it is
  // made again then.
  for (int attempt = 0; !record_ && !recordTried_ && attempt < 3; ++attempt) {
    const OpenedItem folder = OpenRecordsFolder(temporaryFolder_, true);
    std::wstring name;
    OpenedItem record = folder ? MakeNew(
                                     folder.handle.Get(), false, Access::ThisUserOnly,
                                     [] { return MadeName(false) + kRecordEnding; }, name)
                               : OpenedItem{};
    if (record) record_ = std::move(record.handle);
    if (record_ && !Append(record_.Get(), RecordLine(Started(ThisProcess())))) {
      RemoveOpened(record_.Get());
      record_.Reset();
    }
  }
  recordTried_ = true;
  if (record_ && Append(record_.Get(), line)) return true;
  // A record that lacks a line would have a later start remove what it no longer tells (a file
  // handed over, a tool that still runs): none at all removes nothing.
  if (record_) RemoveOpened(record_.Get());
  record_.Reset();
  return false;
}

std::wstring DiskWorkspace::MakeRecorded(const std::wstring& folder, bool isFolder, Access access,
                                         const Fill& fill, UniqueFileHandle* handle,
                                         HANDLE accessOf) {
  const UniqueFileHandle in = OpenFolderToMakeIn(folder);
  std::wstring name;
  const auto next = [&] { return MadeName(!isFolder); };
  OpenedItem made = in ? MakeNew(in.Get(), isFolder, access, next, name, accessOf) : OpenedItem{};
  if (!made) return {};
  // Until the record has it, the system removes it should this program end.
  const bool marked = MarkForRemoval(made.handle.Get(), true);
  MadeItem item{isFolder, IdentityOfOpen(made.handle.Get()).value_or(FileIdentity{}),
                InFolder(folder, name)};
  Note(RecordLine(item));
  if (fill) Step(L"filling");
  if ((fill && !fill(made.handle.Get())) || (marked && !MarkForRemoval(made.handle.Get(), false))) {
    if (!marked) RemoveOpened(made.handle.Get());
    Note(ForgetLine(item.path));
    return {};
  }
  if (handle) *handle = std::move(made.handle);
  made_.push_back(std::move(item));
  Step(L"made");
  return made_.back().path;
}

JoinWorkspace::Folder DiskWorkspace::OwnFolder() {
  if (!own_) {
    UniqueFileHandle made;
    own_ = Folder{temporaryFolder_.empty()
                      ? L""
                      : MakeRecorded(temporaryFolder_, true, Access::ThisUserOnly, {}, &made)};
    // Read back: a drive without access lists takes the one given in silence. Its handle, which
    // keeps it in place for the join, is what the join works in.
    own_->isPrivate = made && OnlyThisUserCanReach(made.Get());
    removesReadOnly_ = made && RemovesReadOnlyNames(made.Get());
    ownHandle_ = std::move(made);
  }
  return *own_;
}

std::wstring DiskWorkspace::MakeInOwn(const wchar_t* ending, const Fill& fill) {
  if (OwnFolder().path.empty() || !ownHandle_) return {};
  // Only the join makes things there, under names of its own counting.
  std::wstring name;
  const OpenedItem made = MakeNew(
      ownHandle_.Get(), false, Access::Inherited,
      [&] { return std::to_wstring(++names_) + ending; }, name);
  if (!made) return {};
  if (fill) {
    Step(L"filling");
    if (!fill(made.handle.Get())) {
      RemoveOpened(made.handle.Get());
      return {};
    }
  }
  Step(L"made");
  return InFolder(own_->path, name);
}

std::wstring DiskWorkspace::MakeRecordedBeside(const std::wstring& target, const Fill& fill,
                                               UniqueFileHandle* handle) {
  // No one may reach a file beside target whom target keeps out. Its list is read through an open
  // that a program holding target without sharing its removal still lets in; unread, none is made.
  const OpenedItem replaced = OpenWithoutFollowing(target, OpenFor::LookingAt);
  if (!replaced && replaced.error != ERROR_FILE_NOT_FOUND) return {};
  return MakeRecorded(FolderOfPath(target), false, Access::Inherited, fill, handle,
                      replaced && !replaced.link ? replaced.handle.Get() : nullptr);
}

std::wstring DiskWorkspace::MakeBeside(const std::wstring& target) {
  UniqueFileHandle made;
  const std::wstring path = MakeRecordedBeside(target, {}, &made);
  made.Reset();
  if (path.empty()) return {};
  // Kept in place while the tool writes it by its name: a link put there would lead its writing
  // into another file.
  besideHeld_ = OpenKeptInPlace(path);
  if (!besideHeld_ || !Matches(besideHeld_, made_.back())) {
    Forget(path);
    besideHeld_ = {};
    return {};
  }
  return path;
}

std::wstring DiskWorkspace::MakeFile(std::string_view content) {
  if (!OwnFolder().isPrivate) return {};
  if (content.empty()) return MakeInOwn(L".tmp");
  return MakeInOwn(L".tmp", [&](HANDLE file) { return Append(file, content); });
}

std::wstring DiskWorkspace::MakeStandIn(const std::wstring& input) {
  if (OwnFolder().path.empty() || !ownHandle_) return {};
  // A hard link costs nothing, but it shares the input's read-only flag: one goes only where the
  // system removes a read-only name without clearing that flag, which is the user's.
  const std::optional<FileIdentity> identity = IdentityOf(input);
  const std::wstring name = std::to_wstring(++names_) + L".pdf";
  if ((!IsReadOnly(input) || removesReadOnly_) && identity &&
      LinkInFolder(ownHandle_.Get(), name, input)) {
    // The link is the file itself under another name: the same identity, seen through the folder.
    const OpenedItem link = OpenInFolderWithoutFollowing(ownHandle_.Get(), name);
    if (!link || link.link || IdentityOfOpen(link.handle.Get()) != identity) return {};
    Step(L"made");
    return InFolder(own_->path, name);
  }
  if (!own_->isPrivate) return {};
  const WaitFor wait = [&](HANDLE copy) { return wait_(copy, L"copy of " + input); };
  return MakeInOwn(L".pdf", [&](HANDLE copy) { return g_copy(input, copy, wait); });
}

JoinWorkspace::Naming DiskWorkspace::GiveName(const std::wstring& path,
                                              const std::wstring& target) {
  besideHeld_ = {};
  std::wstring source = path;
  if (own_ && ownHandle_ && SameText(FolderOfPath(path), own_->path)) {
    // A whole copy beside target first, so that the move from another volume is a rename too;
    // copied through the handle that was looked at, not by the path again.
    const OpenedItem from = OpenInFolderWithoutFollowing(ownHandle_.Get(), NameOfPath(path));
    const WaitFor wait = [&](HANDLE copy) {
      return wait_(copy, L"copy of the joined file beside " + target);
    };
    const Fill copy = [&](HANDLE to) { return CopyContent(from.handle.Get(), to, wait); };
    source = from && !from.link && !from.folder ? MakeRecordedBeside(target, copy) : L"";
    if (source.empty()) return {false, HandOver(path)};
  }
  const auto made = std::find_if(made_.begin(), made_.end(),
                                 [&](const MadeItem& item) { return item.path == source; });
  OpenedItem opened = made != made_.end() ? OpenWithoutFollowing(source) : OpenedItem{};
  // One that cannot be looked at is kept as it is, and said so.
  if (!opened) return {false, HandOver(source)};
  if (!Matches(opened, *made)) {
    // Another file stands there now, which is not the join's to name or remove.
    Forget(source);
    return {false, {}};
  }
  // Where no file has the name yet, the very handle takes it, and so it does from a link, which
  // goes itself (Wine's replacing would remove what the link leads to); else the system replaces
  // the file in one step.
  const FileIdentity joined = made->identity;
  const bool link = OpenWithoutFollowing(target).link;
  const bool renamed =
      (link || !FileExists(target)) && RenameOpened(opened.handle.Get(), target, link);
  DWORD error = renamed ? ERROR_SUCCESS : ::GetLastError();
  opened.handle.Reset();
  Naming naming;
  const std::wstring aside = InFolder(FolderOfPath(target), MadeName(true));
  const std::optional<FileIdentity> replaced = renamed || link ? std::nullopt : IdentityOf(target);
  if (!renamed && !link) error = ReplaceByFile(target, source, aside, g_replace);
  // What the name leads to tells, whatever the calls said; where the system's replacing gives
  // the result an identity of its own, its word and the joined file's name gone tell.
  naming.named = IdentityOf(target) == joined ||
                 (!renamed && !link && error == ERROR_SUCCESS && !FileExists(source));
  // The system moves the replaced file aside on the way: it goes once replaced, and where the
  // joined file could not follow, or another program holds it there, the user has it there. Never
  // in the record: a later start must not remove what may be the only copy of the old file.
  const MadeItem old{false, replaced.value_or(FileIdentity{}), aside};
  if (const OpenedItem seen =
          replaced ? OpenWithoutFollowing(aside, OpenFor::LookingAt) : OpenedItem{};
      seen && Matches(seen, old)) {
    const OpenedItem removable = naming.named ? OpenWithoutFollowing(aside) : OpenedItem{};
    if (!(removable && Matches(removable, old) && RemoveOpened(removable.handle.Get())))
      naming.replacedKept = aside;
  }
  if (!naming.named) {
    naming.kept = HandOver(source);
    naming.error = error;
    return naming;
  }
  Step(L"renamed");
  Forget(source);
  Step(L"named");
  return naming;
}

std::wstring DiskWorkspace::HandOver(const std::wstring& path) {
  // One in the own folder stays there when the rest of it goes.
  kept_.push_back(path);
  Forget(path);
  return path;
}

void DiskWorkspace::Forget(const std::wstring& path) {
  Note(ForgetLine(path));
  std::erase_if(made_, [&](const MadeItem& item) { return item.path == path; });
}

DiskWorkspace::Removal DiskWorkspace::Remove(const MadeItem& made,
                                             std::vector<std::wstring>& left) {
  // Looked at by its path, also while the join holds it open: a folder moved away, with something
  // else put in its place, is no longer the join's to empty.
  // The join's own folder, kept in place, is emptied and removed through the handle it has kept;
  // one of an ended join is looked at by its path.
  const bool own = made.folder && own_ && made.path == own_->path && ownHandle_;
  const OpenedItem opened = own ? OpenedItem{} : OpenWithoutFollowing(made.path);
  const bool matches = opened && Matches(opened, made);
  const HANDLE contents = own                      ? ownHandle_.Get()
                          : made.folder && matches ? opened.handle.Get()
                                                   : nullptr;
  if (contents) {
    // Only this user can write in it: everything there is the join's, but what the user keeps,
    // and never what a link leads to (Wine opens a link as that, and would remove it).
    bool keeps = false;
    const size_t before = left.size();
    for (const std::wstring& name : EntriesOf(contents)) {
      const std::wstring inner = InFolder(made.path, name);
      if (std::find(kept_.begin(), kept_.end(), inner) != kept_.end()) {
        keeps = true;
        continue;
      }
      const OpenedItem entry = OpenInFolderWithoutFollowing(contents, name);
      if (entry && !entry.link && !entry.folder && RemoveOpened(entry.handle.Get())) {
        Step(L"removed");
      } else if (entry || !IsGone(entry.error)) {
        left.push_back(inner);
      }
      if (Stopped()) return Removal::Left;
    }
    // What is left of it is the user's from now on.
    if (keeps && left.size() == before) return Removal::NotOurs;
  }
  if (!own && !opened && IsGone(opened.error)) return Removal::Gone;
  if (!own && opened && !matches) return Removal::NotOurs;
  bool removed = RemoveOpened(own ? ownHandle_.Get() : opened.handle.Get());
  if (own) ownHandle_.Reset();
  // Wine takes the mark of a folder that is not empty, and keeps the folder when its handle closes.
  if (removed && own) {
    const OpenedItem after = OpenWithoutFollowing(made.path);
    removed = !after || !Matches(after, made);
  }
  if (!removed) {
    left.push_back(made.path);
    return Removal::Left;
  }
  Step(L"removed");
  return Removal::Gone;
}

std::vector<std::wstring> DiskWorkspace::RemoveAll() {
  besideHeld_ = {};
  std::vector<std::wstring> left;
  for (size_t i = made_.size(); i-- > 0 && !Stopped();) {
    switch (Remove(made_[i], left)) {
      case Removal::Gone:
        made_.erase(made_.begin() + static_cast<std::ptrdiff_t>(i));
        break;
      case Removal::NotOurs:
        Forget(std::wstring(made_[i].path));
        break;
      case Removal::Left:
        break;
    }
  }
  return left;
}

std::vector<std::wstring> DiskWorkspace::Left() const {
  std::vector<std::wstring> left;
  for (const MadeItem& item : made_)
    left.push_back(item.path);
  return left;
}

void DiskWorkspace::ToolStarted(HANDLE process) {
  Note(RecordLine(Started(process)));
  Step(L"tool");
}

void RemoveWhatEndedJoinsLeft(const std::wstring& temporaryFolder, const std::atomic<bool>& stop) {
  const OpenedItem folder = OpenRecordsFolder(temporaryFolder, false);
  if (!folder) return;
  for (const std::wstring& name : EntriesOf(folder.handle.Get())) {
    if (stop) return;
    if (!name.ends_with(kRecordEnding)) continue;
    // Only while nothing else has it open: its program holds it for as long as it runs.
    OpenedItem record = OpenInFolderWithoutFollowing(folder.handle.Get(), name, OpenFor::Content);
    if (!record || record.folder || record.link || !OwnedByThisUser(record.handle.Get())) continue;
    const std::optional<std::string> text = ReadWhole(record.handle.Get(), kMaxRecordBytes);
    if (!text) continue;
    RecordContent content = ReadRecord(*text);
    if (std::any_of(content.tools.begin(), content.tools.end(),
                    [](const StartedTool& tool) { return StillRuns(tool.id, tool.start); }))
      continue;
    DiskWorkspace(temporaryFolder, std::move(content), std::move(record.handle), stop).RemoveAll();
  }
}

}  // namespace folianto

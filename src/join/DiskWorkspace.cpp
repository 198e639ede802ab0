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
// tell no identity (index 0); there the kind is all that can be checked.
bool Matches(const OpenedItem& opened, const MadeItem& item) {
  if (opened.link || opened.folder != item.folder) return false;
  return !item.identity.Known() || opened.identity == item.identity;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](wchar_t x, wchar_t y) { return std::towupper(x) == std::towupper(y); });
}

bool Holds(const std::vector<std::wstring>& paths, const std::wstring& path) {
  return std::find(paths.begin(), paths.end(), path) != paths.end();
}

// The folder of the records, made for this user alone on first use. One of that name that is not
// this user's own plain folder (another account's, in a temporary folder users share, or a link)
// is never used.
OpenedItem OpenRecordsFolder(const std::wstring& temporary, bool create) {
  if (temporary.empty()) return {};
  const std::wstring path = InFolder(temporary, kRecordsFolder);
  OpenedItem folder = OpenWithoutFollowing(path);
  if (!folder && create) {
    const UniqueFileHandle parent = OpenFolderToMakeIn(temporary);
    folder = CreateNewFolder(parent.Get(), kRecordsFolder, Access::ThisUserOnly);
    // Another start made it meanwhile.
    if (!folder && IsTaken(folder.error)) folder = OpenWithoutFollowing(path);
  }
  if (!folder || !folder.folder || folder.link || !OwnedByThisUser(folder.handle.Get())) return {};
  return folder;
}

StartedTool Started(HANDLE process) {
  return {ProcessIdOf(process), StartTimeOf(process)};
}

}  // namespace

void DiskWorkspace::ObserveSteps(std::function<void(std::wstring_view)> observer) {
  StepObserver() = std::move(observer);
}

DiskWorkspace::DiskWorkspace(std::wstring temporaryFolder, WaitFor wait)
    : temporaryFolder_(std::move(temporaryFolder)), wait_(std::move(wait)) {}

DiskWorkspace::DiskWorkspace(std::wstring temporaryFolder, RecordContent content,
                             UniqueFileHandle record, const std::atomic<bool>& stop)
    : temporaryFolder_(std::move(temporaryFolder)),
      kept_(std::move(content.kept)),
      ownTried_(true),
      record_(std::move(record)),
      recordTried_(true),
      stop_(&stop) {
  for (MadeItem& item : content.made)
    made_.push_back({std::move(item), {}});
}

DiskWorkspace::~DiskWorkspace() {
  for (Made& made : made_)
    made.handle.Reset();
  if (!record_ || !made_.empty()) return;
  RemoveOpened(record_.Get());
  record_.Reset();
  // The folder goes with its last record; the system refuses while another is in it.
  if (const OpenedItem folder = OpenRecordsFolder(temporaryFolder_, false))
    MarkForRemoval(folder.handle.Get(), true);
}

bool DiskWorkspace::Note(const std::string& line) {
  // Without a temporary folder or a folder of records the join still runs; only a later start
  // cannot tidy up after it.
  for (int attempt = 0; !record_ && !recordTried_ && attempt < 3; ++attempt) {
    // Another start may be removing the folder the moment it is empty: made again then.
    const OpenedItem folder = OpenRecordsFolder(temporaryFolder_, true);
    if (!folder) continue;
    for (int name = 0; !record_ && name < 10; ++name) {
      OpenedItem record =
          CreateNewFile(folder.handle.Get(), MadeName(false) + kRecordEnding, Access::ThisUserOnly);
      if (record) {
        record_ = std::move(record.handle);
      } else if (!IsTaken(record.error)) {
        break;
      }
    }
    if (record_ && !Append(record_.Get(), RecordLine(Started(ThisProcess())))) record_.Reset();
  }
  recordTried_ = true;
  if (!record_) return false;
  if (Append(record_.Get(), line)) return true;
  // A record that lacks a line would have a later start remove what it no longer tells (a file
  // handed over, a tool that still runs): none at all removes nothing.
  RemoveOpened(record_.Get());
  record_.Reset();
  return false;
}

std::wstring DiskWorkspace::MakeRecorded(const std::wstring& folder, bool isFolder, Access access,
                                         const Fill& fill) {
  const UniqueFileHandle in = OpenFolderToMakeIn(folder);
  if (!in) return {};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring name = MadeName(!isFolder);
    OpenedItem made =
        isFolder ? CreateNewFolder(in.Get(), name, access) : CreateNewFile(in.Get(), name, access);
    if (!made) {
      if (IsTaken(made.error)) continue;
      return {};
    }
    // Until the record has it, the system removes it should this program end.
    const bool marked = MarkForRemoval(made.handle.Get(), true);
    MadeItem item{isFolder, made.identity, InFolder(folder, name)};
    Note(RecordLine(item));
    if (fill) Step(L"filling");
    if ((fill && !fill(made.handle.Get())) ||
        (marked && !MarkForRemoval(made.handle.Get(), false))) {
      if (!marked) RemoveOpened(made.handle.Get());
      Note(ForgetLine(item.path));
      return {};
    }
    made_.push_back({std::move(item), isFolder ? std::move(made.handle) : UniqueFileHandle()});
    Step(L"made");
    return made_.back().item.path;
  }
  return {};
}

JoinWorkspace::Folder DiskWorkspace::OwnFolder() {
  if (!ownTried_ && !temporaryFolder_.empty()) {
    ownTried_ = true;
    own_ = MakeRecorded(temporaryFolder_, true, Access::ThisUserOnly);
    // Read back: a drive without access lists takes the one given in silence. Kept open only to
    // make things in, so that others (Explorer) may list it meanwhile.
    if (Made* own = Find(own_)) {
      private_ = OnlyThisUserCanReach(own->handle.Get());
      own->handle = OnlyToMakeIn(own->handle.Get());
    }
  }
  return {own_, private_};
}

DiskWorkspace::Made* DiskWorkspace::Own() {
  Made* own = Find(OwnFolder().path);
  return own && own->handle ? own : nullptr;
}

std::wstring DiskWorkspace::MakeInOwn(const wchar_t* ending, const Fill& fill) {
  Made* own = Own();
  if (!own) return {};
  // Only the join makes things there, under names of its own counting.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring name = std::to_wstring(++names_) + ending;
    const OpenedItem made = CreateNewFile(own->handle.Get(), name, Access::Inherited);
    if (!made) {
      if (IsTaken(made.error)) continue;
      return {};
    }
    if (fill) {
      Step(L"filling");
      if (!fill(made.handle.Get())) {
        RemoveOpened(made.handle.Get());
        return {};
      }
    }
    Step(L"made");
    return InFolder(own->item.path, name);
  }
  return {};
}

std::wstring DiskWorkspace::MakeBeside(const std::wstring& folder) {
  return MakeRecorded(folder, false, Access::Inherited);
}

std::wstring DiskWorkspace::MakeFile(std::string_view content) {
  if (!OwnFolder().isPrivate) return {};
  if (content.empty()) return MakeInOwn(L".tmp");
  return MakeInOwn(L".tmp", [&](HANDLE file) { return Append(file, content); });
}

std::wstring DiskWorkspace::MakeStandIn(const std::wstring& input) {
  Made* own = Own();
  if (!own) return {};
  // A hard link costs nothing, but it shares the input's read-only flag: one goes only where the
  // system removes a read-only name without clearing that flag, which is the user's.
  if (!removesReadOnly_ && IsReadOnly(input))
    removesReadOnly_ = RemovesReadOnlyNames(own->handle.Get(), std::to_wstring(++names_) + L".tmp");
  if (!IsReadOnly(input) || removesReadOnly_.value_or(false)) {
    const std::optional<FileIdentity> identity = IdentityOf(input);
    const std::wstring name = std::to_wstring(++names_) + L".pdf";
    const std::wstring path = InFolder(own->item.path, name);
    if (identity && MakeHardLink(path, input)) {
      // The link is the file itself under another name: the same identity, seen through the
      // folder.
      const OpenedItem link = OpenInFolderWithoutFollowing(own->handle.Get(), name);
      if (!link || link.link || link.identity != *identity) return {};
      Step(L"made");
      return path;
    }
  }
  if (!private_) return {};
  return MakeInOwn(L".pdf", [&](HANDLE copy) { return CopyContent(input, copy, wait_); });
}

JoinWorkspace::Naming DiskWorkspace::GiveName(const std::wstring& path,
                                              const std::wstring& target) {
  std::wstring source = path;
  if (const Made* own = Own(); own && SameText(FolderOfPath(path), own->item.path)) {
    // A whole copy beside target first, so that the move from another volume is a rename too;
    // copied through the handle that was looked at, not by the path again.
    const OpenedItem from = OpenInFolderWithoutFollowing(own->handle.Get(), NameOfPath(path));
    source =
        from && !from.link && !from.folder
            ? MakeRecorded(FolderOfPath(target), false, Access::Inherited,
                           [&](HANDLE copy) { return CopyContent(from.handle.Get(), copy, wait_); })
            : L"";
    if (source.empty()) return {false, HandOver(path)};
  }
  const Made* made = Find(source);
  OpenedItem opened = made ? OpenWithoutFollowing(source) : OpenedItem{};
  // One that cannot be looked at is kept as it is, and said so.
  if (!opened) return {false, HandOver(source)};
  if (!Matches(opened, made->item)) {
    // Another file stands there now, which is not the join's to name or remove.
    Forget(source);
    return {false, {}};
  }
  // Where no file has the name yet, the very handle takes it, and so it does from a link, which
  // goes itself (Wine's replacing would remove what the link leads to); else the system replaces
  // the file in one step.
  const bool link = OpenWithoutFollowing(target).link;
  bool named = (link || !FileExists(target)) && RenameOpened(opened.handle.Get(), target, link);
  opened.handle.Reset();
  if (!named && !link) named = ReplaceByFile(target, source) == ERROR_SUCCESS;
  if (!named) return {false, HandOver(source)};
  Step(L"renamed");
  Forget(source);
  Step(L"named");
  return {true, {}};
}

std::wstring DiskWorkspace::HandOver(const std::wstring& path) {
  // From the own folder, which goes with the join but for it.
  if (!Find(path)) kept_.push_back(path);
  Forget(path);
  return path;
}

void DiskWorkspace::Forget(const std::wstring& path) {
  Note(ForgetLine(path));
  std::erase_if(made_, [&](const Made& made) { return made.item.path == path; });
}

DiskWorkspace::Made* DiskWorkspace::Find(const std::wstring& path) {
  const auto found = std::find_if(made_.begin(), made_.end(),
                                  [&](const Made& made) { return made.item.path == path; });
  return found == made_.end() ? nullptr : &*found;
}

bool DiskWorkspace::RemoveEntry(HANDLE folder, const std::wstring& name) {
  const OpenedItem entry = OpenInFolderWithoutFollowing(folder, name);
  if (!entry) return IsGone(entry.error);
  // What a link leads to is never the join's; Wine would remove that through the handle.
  if (entry.link || entry.folder || !RemoveOpened(entry.handle.Get())) return false;
  Step(L"removed");
  return true;
}

DiskWorkspace::Removal DiskWorkspace::Remove(Made& made, std::vector<std::wstring>& left) {
  const std::wstring& path = made.item.path;
  // Looked at by its path, also while the join holds it open: a folder moved away, with something
  // else put in its place, is no longer the join's to empty.
  const OpenedItem opened = OpenWithoutFollowing(path);
  if (!opened && IsGone(opened.error)) return Removal::Gone;
  if (opened && !Matches(opened, made.item)) return Removal::NotOurs;
  if (opened && made.item.folder) {
    // Only this user can write in it: everything there is the join's, but what the user keeps.
    bool emptied = true;
    bool keeps = false;
    for (const std::wstring& name : EntriesOf(opened.handle.Get())) {
      if (stop_ && *stop_) return Removal::Left;
      const std::wstring inner = InFolder(path, name);
      if (Holds(kept_, inner)) {
        keeps = true;
      } else if (!RemoveEntry(opened.handle.Get(), name)) {
        left.push_back(inner);
        emptied = false;
      }
    }
    // What is left of it is the user's from now on.
    if (keeps && emptied) return Removal::NotOurs;
  }
  made.handle.Reset();
  if (!opened || !RemoveOpened(opened.handle.Get())) {
    left.push_back(path);
    return Removal::Left;
  }
  Step(L"removed");
  return Removal::Gone;
}

std::vector<std::wstring> DiskWorkspace::RemoveAll() {
  std::vector<std::wstring> left;
  for (size_t i = made_.size(); i-- > 0 && !(stop_ && *stop_);) {
    switch (Remove(made_[i], left)) {
      case Removal::Gone:
        made_.erase(made_.begin() + static_cast<std::ptrdiff_t>(i));
        break;
      case Removal::NotOurs:
        Forget(made_[i].item.path);
        break;
      case Removal::Left:
        break;
    }
  }
  return left;
}

std::vector<std::wstring> DiskWorkspace::Left() const {
  std::vector<std::wstring> left;
  for (const Made& made : made_)
    left.push_back(made.item.path);
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
    OpenedItem record = OpenInFolderWithoutFollowing(folder.handle.Get(), name, true);
    if (!record || record.folder || record.link || !OwnedByThisUser(record.handle.Get())) continue;
    const std::optional<std::string> text = ReadWhole(record.handle.Get(), kMaxRecordBytes);
    if (!text) continue;
    RecordContent content = ReadRecord(*text);
    if (std::any_of(content.tools.begin(), content.tools.end(),
                    [](const StartedTool& tool) { return StillRuns(tool.id, tool.start); }))
      continue;
    DiskWorkspace left(temporaryFolder, std::move(content), std::move(record.handle), stop);
    left.RemoveAll();
  }
}

}  // namespace folianto

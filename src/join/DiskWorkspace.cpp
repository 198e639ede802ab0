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
// A record names a few dozen things; anything much longer is no record of a join.
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

// Nothing is there any more: not found, or on its way out (delete pending, where Windows refuses
// every new open with access denied).
bool IsGone(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_ACCESS_DENIED;
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

DiskWorkspace::DiskWorkspace(std::wstring temporaryFolder, std::vector<MadeItem> made,
                             UniqueFileHandle record)
    : temporaryFolder_(std::move(temporaryFolder)), record_(std::move(record)) {
  recordTried_ = true;
  for (MadeItem& item : made)
    made_.push_back({std::move(item), {}});
}

DiskWorkspace::~DiskWorkspace() {
  for (Entry& entry : made_)
    entry.handle.Reset();
  if (!record_ || !made_.empty()) return;
  RemoveOpened(record_.Get());
  record_.Reset();
  // The folder goes with its last record; the system refuses while another is in it.
  if (const OpenedItem folder = OpenRecordsFolder(temporaryFolder_, false))
    MarkForRemoval(folder.handle.Get(), true);
}

void DiskWorkspace::Note(const std::string& line) {
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
    if (record_) Append(record_.Get(), RecordLine(Started(ThisProcess())));
  }
  recordTried_ = true;
  if (record_) Append(record_.Get(), line);
}

std::wstring DiskWorkspace::Make(const std::wstring& folder, const std::wstring& name,
                                 bool isFolder, Access access,
                                 const std::function<bool(HANDLE)>& fill) {
  // In a folder of the join's, through its handle.
  Entry* parent = MadeFolderAt(folder);
  UniqueFileHandle opened;
  if (!parent) opened = OpenFolderToMakeIn(folder);
  const HANDLE in = parent ? parent->handle.Get() : opened.Get();
  if (!in) return {};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring madeName = name.empty() ? MadeName(!isFolder) : name;
    OpenedItem made =
        isFolder ? CreateNewFolder(in, madeName, access) : CreateNewFile(in, madeName, access);
    if (!made) {
      if (name.empty() && IsTaken(made.error)) continue;
      return {};
    }
    // Until the record has it, the system removes it should this program end.
    const bool marked = MarkForRemoval(made.handle.Get(), true);
    MadeItem item{isFolder, made.identity, InFolder(folder, madeName)};
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

std::wstring DiskWorkspace::MakeFile(const std::wstring& folder, std::string_view content) {
  if (content.empty()) return Make(folder, {}, false, Access::Inherited);
  return Make(folder, {}, false, Access::Inherited,
              [&](HANDLE file) { return Append(file, content); });
}

std::wstring DiskWorkspace::MakeFolder(const std::wstring& folder) {
  return Make(folder, {}, true, Access::Inherited);
}

std::wstring DiskWorkspace::PrivateFolder() {
  if (private_.empty() && !temporaryFolder_.empty())
    private_ = Make(temporaryFolder_, {}, true, Access::ThisUserOnly);
  return private_;
}

std::wstring DiskWorkspace::MakeNamedFile(const std::wstring& folder, const std::wstring& name) {
  if (!MadeFolderAt(folder)) return {};
  return Make(folder, name, false, Access::Inherited);
}

std::wstring DiskWorkspace::MakeHardLink(const std::wstring& folder, const std::wstring& name,
                                         const std::wstring& target) {
  Entry* parent = MadeFolderAt(folder);
  const std::optional<FileIdentity> identity = IdentityOf(target);
  const std::wstring path = InFolder(folder, name);
  if (!parent || !identity || !folianto::MakeHardLink(path, target)) return {};
  // The link is the file itself under another name: the same identity, seen through the folder.
  OpenedItem link = OpenInFolderWithoutFollowing(parent->handle.Get(), name);
  MadeItem item{false, *identity, path};
  if (!link || !Matches(link, item)) return {};
  Note(RecordLine(item));
  made_.push_back({std::move(item), {}});
  Step(L"made");
  return path;
}

std::wstring DiskWorkspace::MakeCopy(const std::wstring& folder, const std::wstring& name,
                                     const std::wstring& from) {
  if (!MadeFolderAt(folder)) return {};
  return Make(folder, name, false, Access::Inherited,
              [&](HANDLE copy) { return CopyContent(from, copy, wait_); });
}

void DiskWorkspace::Wrote(const std::wstring& path) {
  Entry* entry = Find(path);
  Entry* parent = FolderOf(path);
  // Only this user can write in the private folder: what the tool left there is taken as it is,
  // should it have made the file anew.
  if (!entry || !parent || private_.empty() || parent->item.path != private_) return;
  const OpenedItem written = OpenInFolderWithoutFollowing(parent->handle.Get(), NameOfPath(path));
  if (!written || written.folder || written.link || written.identity == entry->item.identity)
    return;
  entry->item.identity = written.identity;
  Note(RecordLine(entry->item));
}

JoinWorkspace::Naming DiskWorkspace::GiveName(const std::wstring& path,
                                              const std::wstring& target) {
  std::wstring source = path;
  if (!SameText(FolderOfPath(path), FolderOfPath(target))) {
    // A whole copy beside target first: the move from another volume is then a rename too.
    Entry* entry = Find(path);
    Removal otherwise = Removal::Left;
    OpenedItem from = entry ? Open(*entry, otherwise) : OpenedItem{};
    if (!from || !Matches(from, entry->item)) return {false, HandOver(path)};
    // Through the handle that was looked at, not by the path again.
    source = Make(FolderOfPath(target), {}, false, Access::Inherited,
                  [&](HANDLE copy) { return CopyContent(from.handle.Get(), copy, wait_); });
    from.handle.Reset();
    if (source.empty()) return {false, HandOver(path)};
  }
  Entry* entry = Find(source);
  Removal otherwise = Removal::Left;
  OpenedItem made = entry ? Open(*entry, otherwise) : OpenedItem{};
  if (!made || !Matches(made, entry->item)) return {false, {}};
  // Where no file has the name yet, the very handle takes it, and so it does from a link, which
  // goes itself (Wine's replacing would remove what the link leads to); else the system replaces
  // the file in one step.
  const bool link = OpenWithoutFollowing(target).link;
  bool named = (link || !FileExists(target)) && RenameOpened(made.handle.Get(), target, link);
  made.handle.Reset();
  if (!named && !link) named = ReplaceByFile(target, source) == ERROR_SUCCESS;
  if (!named) return {false, HandOver(source)};
  Step(L"renamed");
  Forget(source);
  Step(L"named");
  return {true, {}};
}

std::wstring DiskWorkspace::HandOver(const std::wstring& path) {
  Entry* entry = Find(path);
  if (!entry) return {};
  std::wstring kept = path;
  // The private folder goes with the join: what the user keeps moves out of it, beside it.
  if (Entry* parent = FolderOf(path); parent && parent->item.path == private_) {
    const OpenedItem file = OpenInFolderWithoutFollowing(parent->handle.Get(), NameOfPath(path));
    kept = InFolder(temporaryFolder_, MadeName(true));
    if (!file || !Matches(file, entry->item) || !RenameOpened(file.handle.Get(), kept, false))
      return {};
  }
  Forget(path);
  return kept;
}

void DiskWorkspace::Forget(const std::wstring& path) {
  Note(ForgetLine(path));
  std::erase_if(made_, [&](const Entry& entry) { return entry.item.path == path; });
}

DiskWorkspace::Entry* DiskWorkspace::Find(const std::wstring& path) {
  const auto found = std::find_if(made_.begin(), made_.end(),
                                  [&](const Entry& entry) { return entry.item.path == path; });
  return found == made_.end() ? nullptr : &*found;
}

DiskWorkspace::Entry* DiskWorkspace::MadeFolderAt(const std::wstring& path) {
  Entry* folder = Find(path);
  return folder && folder->item.folder ? folder : nullptr;
}

DiskWorkspace::Entry* DiskWorkspace::FolderOf(const std::wstring& path) {
  return MadeFolderAt(FolderOfPath(path));
}

HANDLE DiskWorkspace::FolderHandle(Entry& folder, Removal& otherwise) {
  // Looked at by its path each time, also while the join holds it open: a folder moved away, with
  // something else put in its place, is no longer the join's to empty.
  OpenedItem opened = OpenWithoutFollowing(folder.item.path);
  if (!opened) {
    otherwise = IsGone(opened.error) ? Removal::Gone : Removal::Left;
    return nullptr;
  }
  if (!Matches(opened, folder.item)) {
    otherwise = Removal::NotOurs;
    return nullptr;
  }
  if (!folder.handle) folder.handle = std::move(opened.handle);
  return folder.handle.Get();
}

OpenedItem DiskWorkspace::Open(Entry& entry, Removal& otherwise) {
  if (Entry* parent = FolderOf(entry.item.path)) {
    // What is in a folder of the join's is reached only through that folder, never by a path
    // that another folder may have taken.
    const HANDLE folder = FolderHandle(*parent, otherwise);
    if (!folder) return {};
    return OpenInFolderWithoutFollowing(folder, NameOfPath(entry.item.path));
  }
  return OpenWithoutFollowing(entry.item.path);
}

DiskWorkspace::Removal DiskWorkspace::Remove(Entry& entry) {
  Removal otherwise = Removal::Left;
  bool marked = false;
  if (entry.item.folder) {
    const HANDLE folder = FolderHandle(entry, otherwise);
    if (!folder) return otherwise;
    marked = RemoveOpened(folder);
    entry.handle.Reset();
  } else {
    OpenedItem opened = Open(entry, otherwise);
    if (!opened)
      return opened.error == ERROR_SUCCESS ? otherwise
             : IsGone(opened.error)        ? Removal::Gone
                                           : Removal::Left;
    if (!Matches(opened, entry.item)) return Removal::NotOurs;
    marked = RemoveOpened(opened.handle.Get());
  }
  if (!marked) return Removal::Left;
  // The name goes once the last handle to it is closed: looked up again to be sure.
  const OpenedItem after =
      entry.item.folder ? OpenWithoutFollowing(entry.item.path) : Open(entry, otherwise);
  const bool left = after && Matches(after, entry.item);
  if (entry.item.folder) entry.handle.Reset();
  if (!left) Step(L"removed");
  return left ? Removal::Left : Removal::Gone;
}

std::vector<std::wstring> DiskWorkspace::RemoveAll() {
  std::vector<std::wstring> left;
  for (size_t i = made_.size(); i-- > 0;) {
    switch (Remove(made_[i])) {
      case Removal::Gone:
        made_.erase(made_.begin() + static_cast<std::ptrdiff_t>(i));
        break;
      case Removal::NotOurs:
        // Something else stands there now: the record forgets it and nothing there is touched.
        Forget(made_[i].item.path);
        break;
      case Removal::Left:
        left.push_back(made_[i].item.path);
        break;
    }
  }
  return left;
}

std::vector<std::wstring> DiskWorkspace::Left() const {
  std::vector<std::wstring> left;
  for (const Entry& entry : made_)
    left.push_back(entry.item.path);
  return left;
}

void DiskWorkspace::ToolStarted(HANDLE process) {
  Note(RecordLine(Started(process)));
  Step(L"tool");
}

void RemoveWhatEndedJoinsLeft(const std::wstring& temporaryFolder) {
  const OpenedItem folder = OpenRecordsFolder(temporaryFolder, false);
  if (!folder) return;
  for (const std::wstring& name : EntriesOf(folder.handle.Get())) {
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
    DiskWorkspace left(temporaryFolder, std::move(content.made), std::move(record.handle));
    left.RemoveAll();
  }
}

}  // namespace folianto

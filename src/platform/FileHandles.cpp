#include "platform/FileHandles.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <winioctl.h>
#include <winternl.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/SystemLibrary.h"

namespace folianto {

namespace {

// Enough to look at, remove, rename and (a folder) list what is opened.
constexpr DWORD kItemAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES |
                              FILE_LIST_DIRECTORY | READ_CONTROL | SYNCHRONIZE;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// ntdll opens a name relative to an open folder, which the Win32 calls cannot.
using NtCreateFileCall = decltype(&::NtCreateFile);
using StatusToError = decltype(&::RtlNtStatusToDosError);

void Describe(OpenedItem& item) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!::GetFileInformationByHandleEx(item.handle.Get(), FileAttributeTagInfo, &tag, sizeof(tag))) {
    item.error = ::GetLastError();
    item.handle.Reset();
    return;
  }
  item.folder = (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  item.link = (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

OpenedItem Opened(HANDLE handle, DWORD error) {
  OpenedItem item;
  item.handle.Reset(handle);
  item.error = item.handle ? ERROR_SUCCESS : error;
  if (item.handle) Describe(item);
  return item;
}

// The user this program runs as, from its token.
std::vector<char> ThisUser() {
  static const auto openToken =
      SystemFunction<decltype(&::OpenProcessToken)>(L"advapi32.dll", "OpenProcessToken");
  static const auto tokenInformation =
      SystemFunction<decltype(&::GetTokenInformation)>(L"advapi32.dll", "GetTokenInformation");
  HANDLE token = nullptr;
  if (!openToken || !tokenInformation || !openToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
    return {};
  const UniqueKernelHandle owner(token);
  std::vector<char> user(256);
  DWORD length = 0;
  if (!tokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &length)) {
    user.resize(length);
    if (!tokenInformation(token, TokenUser, user.data(), length, &length)) return {};
  }
  return user;
}

PSID UserSid(std::vector<char>& user) {
  return user.empty() ? nullptr : reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
}

enum class Reach { Others, ThisUsers, ThisUserAlone };

// Whether item is this user's own (its owner), and, when asked, whether its access list lets none
// but this user and the system in.
Reach ReachedBy(HANDLE item, bool readAccess) {
  static const auto securityInfo =
      SystemFunction<decltype(&::GetSecurityInfo)>(L"advapi32.dll", "GetSecurityInfo");
  static const auto equalSids = SystemFunction<decltype(&::EqualSid)>(L"advapi32.dll", "EqualSid");
  static const auto system =
      SystemFunction<decltype(&::IsWellKnownSid)>(L"advapi32.dll", "IsWellKnownSid");
  static const auto getAce = SystemFunction<decltype(&::GetAce)>(L"advapi32.dll", "GetAce");
  std::vector<char> user = ThisUser();
  PSID owner = nullptr;
  PACL access = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const SECURITY_INFORMATION what =
      OWNER_SECURITY_INFORMATION | (readAccess ? DACL_SECURITY_INFORMATION : 0);
  if (!securityInfo || !equalSids || !system || !getAce || !UserSid(user) ||
      securityInfo(item, SE_FILE_OBJECT, what, &owner, nullptr, &access, nullptr, &descriptor) !=
          ERROR_SUCCESS) {
    return Reach::Others;
  }
  const UniqueLocalMemory<void> owned(descriptor);
  if (!owner || !equalSids(owner, UserSid(user))) return Reach::Others;
  // No access list at all lets everyone in.
  if (!readAccess || !access) return Reach::ThisUsers;
  for (DWORD i = 0; i < access->AceCount; ++i) {
    void* entry = nullptr;
    if (!getAce(access, i, &entry)) return Reach::ThisUsers;
    if (static_cast<const ACE_HEADER*>(entry)->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    const PSID sid = &static_cast<ACCESS_ALLOWED_ACE*>(entry)->SidStart;
    if (!equalSids(sid, UserSid(user)) && !system(sid, WinLocalSystemSid)) return Reach::ThisUsers;
  }
  return Reach::ThisUserAlone;
}

// Owned by this user, who with the system alone has any access to it and to what is made in it;
// none of the folders above passes anything on.
PSECURITY_DESCRIPTOR ThisUserOnlyDescriptor() {
  static PSECURITY_DESCRIPTOR descriptor = [] {
    static const auto sidToText = SystemFunction<decltype(&::ConvertSidToStringSidW)>(
        L"advapi32.dll", "ConvertSidToStringSidW");
    static const auto textToDescriptor =
        SystemFunction<decltype(&::ConvertStringSecurityDescriptorToSecurityDescriptorW)>(
            L"advapi32.dll", "ConvertStringSecurityDescriptorToSecurityDescriptorW");
    std::vector<char> user = ThisUser();
    wchar_t* sid = nullptr;
    if (!sidToText || !textToDescriptor || !UserSid(user) || !sidToText(UserSid(user), &sid))
      return PSECURITY_DESCRIPTOR{};
    const std::wstring text =
        std::wstring(L"O:") + sid + L"D:P(A;OICI;FA;;;" + sid + L")(A;OICI;FA;;;SY)";
    ::LocalFree(sid);
    PSECURITY_DESCRIPTOR made = nullptr;
    if (!textToDescriptor(text.c_str(), SDDL_REVISION_1, &made, nullptr))
      return PSECURITY_DESCRIPTOR{};
    return made;  // kept while the program runs
  }();
  return descriptor;
}

// Opens or makes name in folder through ntdll, which takes a name relative to an open folder:
// the name and the handle are then of one and the same thing, whatever happens to the paths above.
OpenedItem OpenRelative(HANDLE folder, const std::wstring& name, DWORD access, DWORD share,
                        ULONG disposition, ULONG options, PSECURITY_DESCRIPTOR descriptor) {
  static const auto create = SystemFunction<NtCreateFileCall>(L"ntdll.dll", "NtCreateFile");
  static const auto toError = SystemFunction<StatusToError>(L"ntdll.dll", "RtlNtStatusToDosError");
  if (!create || !toError) return Opened(INVALID_HANDLE_VALUE, ERROR_CALL_NOT_IMPLEMENTED);
  const auto bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  UNICODE_STRING objectName{bytes, bytes, const_cast<wchar_t*>(name.c_str())};
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, folder, descriptor);
  IO_STATUS_BLOCK status{};
  HANDLE opened = INVALID_HANDLE_VALUE;
  const NTSTATUS result = create(
      &opened, access, &attributes, &status, nullptr, FILE_ATTRIBUTE_NORMAL, share, disposition,
      options | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT, nullptr, 0);
  // On its way out, where the other names of the error are not: access denied is no such thing.
  constexpr NTSTATUS kDeletePending = static_cast<NTSTATUS>(0xC0000056);
  if (result == kDeletePending) return Opened(INVALID_HANDLE_VALUE, ERROR_DELETE_PENDING);
  if (result < 0) return Opened(INVALID_HANDLE_VALUE, toError(result));
  return Opened(opened, ERROR_SUCCESS);
}

OpenedItem CreateNew(HANDLE folder, const std::wstring& name, Access access, bool makeFolder,
                     HANDLE accessOf, DWORD share) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (access == Access::ThisUserOnly && !(descriptor = ThisUserOnlyDescriptor()))
    return Opened(INVALID_HANDLE_VALUE, ERROR_INVALID_SECURITY_DESCR);
  static const auto securityInfo =
      SystemFunction<decltype(&::GetSecurityInfo)>(L"advapi32.dll", "GetSecurityInfo");
  PSECURITY_DESCRIPTOR copied = nullptr;
  if (accessOf) {
    const DWORD error = securityInfo
                            ? securityInfo(accessOf, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                           nullptr, nullptr, nullptr, nullptr, &copied)
                            : ERROR_PROC_NOT_FOUND;
    // Not the folder's list in its place: that may let in whom accessOf keeps out.
    if (error != ERROR_SUCCESS) return Opened(INVALID_HANDLE_VALUE, error);
    descriptor = copied;
  }
  const UniqueLocalMemory<void> owned(copied);
  const DWORD content = makeFolder ? 0 : FILE_GENERIC_READ | FILE_GENERIC_WRITE;
  return OpenRelative(folder, name, kItemAccess | content, share, FILE_CREATE,
                      makeFolder ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE, descriptor);
}

// FILE_REMOTE_DEVICE, which only the driver kit's headers name.
constexpr ULONG kRemoteDevice = 0x10;

// The headers name FileDispositionInfoEx only for newer targets than this program's.
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);

bool CopyBytes(HANDLE from, HANDLE to) {
  std::vector<char> buffer(1 << 20);
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
      return false;
    if (read == 0) return true;
    DWORD written = 0;
    if (!::WriteFile(to, buffer.data(), read, &written, nullptr) || written != read) return false;
  }
}

// A copy on a thread of its own, which owns what it works with: it may be given up and go on
// alone, until this program ends.
struct Copy {
  std::wstring path;  // to open; else from is read
  UniqueFileHandle from;
  UniqueFileHandle to;
  bool done = false;
  DWORD error = ERROR_SUCCESS;
};

DWORD WINAPI CopyOnItsThread(void* parameter) {
  const std::unique_ptr<std::shared_ptr<Copy>> shared(
      static_cast<std::shared_ptr<Copy>*>(parameter));
  Copy& copy = **shared;
  // An input that another program has open, even for writing, is copied too.
  if (!copy.path.empty())
    copy.from.Reset(::CreateFileW(copy.path.c_str(), GENERIC_READ, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  copy.done = copy.from && CopyBytes(copy.from.Get(), copy.to.Get());
  if (!copy.done) copy.error = ::GetLastError();
  return 0;
}

// A handle of this program's own to the same open file.
UniqueFileHandle Duplicate(HANDLE file) {
  HANDLE copy = INVALID_HANDLE_VALUE;
  ::DuplicateHandle(::GetCurrentProcess(), file, ::GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
  return UniqueFileHandle(copy);
}

bool CopyAlongside(std::shared_ptr<Copy> copy, const WaitFor& wait) {
  auto* mine = new std::shared_ptr<Copy>(copy);
  const UniqueKernelHandle thread(::CreateThread(nullptr, 0, CopyOnItsThread, mine, 0, nullptr));
  if (!thread) {
    CopyOnItsThread(mine);
  } else if (!wait(thread.Get())) {
    ::SetLastError(ERROR_CANCELLED);
    return false;
  }
  ::SetLastError(copy->error);
  return copy->done;
}

// The path the system has for an open item, as "\\?\C:\..."; empty where it tells none.
std::wstring FinalPathOf(HANDLE item) {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetFinalPathNameByHandleW(
        item, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return {};
    if (length < path.size()) return std::wstring(path.data(), length);
    path.resize(length + 1);
  }
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The name the system has for an open item ("\??\C:\..."), for a fraction of what its final
// path costs; under Wine, where a Unix symbolic link led. Empty where it tells none.
std::wstring ObjectNameOf(HANDLE item) {
  static const auto query =
      SystemFunction<decltype(&::NtQueryObject)>(L"ntdll.dll", "NtQueryObject");
  std::vector<char> buffer(1024);
  for (int attempt = 0; query && attempt < 2; ++attempt) {
    ULONG needed = 0;
    if (query(item, ObjectNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
              &needed) >= 0) {
      const auto& name = *reinterpret_cast<const UNICODE_STRING*>(buffer.data());
      return std::wstring(name.Buffer, name.Length / sizeof(wchar_t));
    }
    buffer.resize(needed);
  }
  return {};
}

// Whether item is what stands under name in the open folder itself: false when opening it
// followed a link to somewhere else. Where the system tells either path not, the kind of the
// item opened must tell.
bool IsEntryOf(HANDLE folder, HANDLE item, const std::wstring& name) {
  const std::wstring folderName = ObjectNameOf(folder);
  const std::wstring itemName = ObjectNameOf(item);
  if (folderName.empty() || itemName.empty()) return true;
  if (SameName(itemName, InFolder(folderName, name))) return true;
  // Wine tells a folder's path as it was when the folder was opened, also after it was moved: the
  // folder that holds item by item's own path must then be that very folder.
  const std::wstring itemAt = FinalPathOf(item);
  const UniqueFileHandle holder(::CreateFileW(FolderOfPath(itemAt).c_str(), FILE_READ_ATTRIBUTES,
                                              kShareAll, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  const auto identity = holder ? IdentityOfOpen(holder.Get()) : std::nullopt;
  return identity && identity == IdentityOfOpen(folder) && SameName(NameOfPath(itemAt), name);
}

}  // namespace

std::optional<FileIdentity> IdentityOfOpen(HANDLE item) {
  // The 128-bit file id, where the file system gives one: on ReFS the 64-bit index of the older
  // call is not unique. On NTFS the two agree.
  FILE_ID_INFO id;
  if (::GetFileInformationByHandleEx(item, FileIdInfo, &id, sizeof(id))) {
    FileIdentity identity{id.VolumeSerialNumber};
    static_assert(sizeof(id.FileId.Identifier) == sizeof(identity.index) * 2);
    std::memcpy(&identity.index, id.FileId.Identifier, sizeof(identity.index));
    std::memcpy(&identity.indexHigh, id.FileId.Identifier + sizeof(identity.index),
                sizeof(identity.indexHigh));
    return identity;
  }
  BY_HANDLE_FILE_INFORMATION information;
  if (!::GetFileInformationByHandle(item, &information)) return std::nullopt;
  return FileIdentity{
      information.dwVolumeSerialNumber,
      (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
}

FolderIdentities::FolderIdentities(const std::wstring& folder)
    : handle_(::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {
  if (handle_) folder_ = IdentityOfOpen(handle_.Get());
}

bool FolderIdentities::EntriesShareSerial() {
  if (name_) return !name_->empty();
  name_.emplace();
  static const auto volumeInformation = SystemFunction<decltype(&::NtQueryVolumeInformationFile)>(
      L"ntdll.dll", "NtQueryVolumeInformationFile");
  wchar_t system[MAX_PATH + 1] = L"";
  FILE_FS_DEVICE_INFORMATION device{};
  IO_STATUS_BLOCK status{};
  // A network server may call its file system NTFS and still number its files in its own way.
  if (folder_ && volumeInformation &&
      ::GetVolumeInformationByHandleW(handle_.Get(), nullptr, 0, nullptr, nullptr, nullptr, system,
                                      MAX_PATH + 1) &&
      std::wstring_view(system) == L"NTFS" &&
      volumeInformation(handle_.Get(), &status, &device, sizeof(device), FileFsDeviceInformation) >=
          0 &&
      (device.DeviceType == FILE_DEVICE_DISK ||
       device.DeviceType == FILE_DEVICE_DISK_FILE_SYSTEM) &&
      !(device.Characteristics & kRemoteDevice)) {
    *name_ = ObjectNameOf(handle_.Get());
  }
  return !name_->empty();
}

std::optional<FileIdentity> FolderIdentities::Of(const std::wstring& path) {
  static const auto information =
      SystemFunction<decltype(&::NtQueryInformationFile)>(L"ntdll.dll", "NtQueryInformationFile");
  // The first is read as any file is: the look at the volume costs as much.
  if (read_++ > 0 && information && EntriesShareSerial()) {
    const std::wstring name = NameOfPath(path);
    const OpenedItem entry = OpenRelative(handle_.Get(), name, FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                          kShareAll, FILE_OPEN, 0, nullptr);
    FILE_INTERNAL_INFORMATION index{};
    IO_STATUS_BLOCK status{};
    if (entry && !entry.link &&
        SameName(ObjectNameOf(entry.handle.Get()), InFolder(*name_, name)) &&
        information(entry.handle.Get(), &status, &index, sizeof(index), FileInternalInformation) >=
            0) {
      return FileIdentity{folder_->volume, static_cast<uint64_t>(index.IndexNumber.QuadPart)};
    }
  }
  return IdentityOf(path);
}

OpenedItem OpenWithoutFollowing(const std::wstring& path, OpenFor purpose) {
  const UniqueFileHandle folder = OpenFolderToMakeIn(FolderOfPath(path));
  if (!folder) return Opened(INVALID_HANDLE_VALUE, ::GetLastError());
  return OpenInFolderWithoutFollowing(folder.Get(), NameOfPath(path), purpose);
}

OpenedItem OpenInFolderWithoutFollowing(HANDLE folder, const std::wstring& name, OpenFor purpose) {
  const bool content = purpose == OpenFor::Content;
  const DWORD access = purpose == OpenFor::LookingAt
                           ? FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE
                           : kItemAccess | (content ? FILE_GENERIC_READ | FILE_GENERIC_WRITE : 0);
  OpenedItem item =
      OpenRelative(folder, name, access, content ? 0 : kShareAll, FILE_OPEN, 0, nullptr);
  // Where a link is opened as what it leads to all the same (Wine does so with a Unix symbolic
  // link, and tells no reparse point), the handle's own path is not the folder's and the name.
  if (item && !IsEntryOf(folder, item.handle.Get(), name)) item.link = true;
  return item;
}

UniqueFileHandle OpenFolderToMakeIn(const std::wstring& path) {
  return UniqueFileHandle(::CreateFileW(path.c_str(), FILE_TRAVERSE | SYNCHRONIZE, kShareAll,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));
}

OpenedItem OpenKeptInPlace(const std::wstring& path) {
  const UniqueFileHandle folder = OpenFolderToMakeIn(FolderOfPath(path));
  if (!folder) return Opened(INVALID_HANDLE_VALUE, ::GetLastError());
  const std::wstring name = NameOfPath(path);
  // Only an open that may read takes part in what others may share: one to look at the
  // attributes alone would not keep a removal out.
  OpenedItem item =
      OpenRelative(folder.Get(), name, FILE_READ_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                   FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_OPEN, 0, nullptr);
  if (item && !IsEntryOf(folder.Get(), item.handle.Get(), name)) item.link = true;
  return item;
}

OpenedItem CreateNewFile(HANDLE folder, const std::wstring& name, Access access, HANDLE accessOf) {
  return CreateNew(folder, name, access, false, accessOf, kShareAll);
}

OpenedItem CreateNewFolder(HANDLE folder, const std::wstring& name, Access access,
                           bool keepInPlace) {
  // Others may still list it, but not open it to remove or rename it.
  return CreateNew(folder, name, access, true, nullptr,
                   keepInPlace ? FILE_SHARE_READ | FILE_SHARE_WRITE : kShareAll);
}

std::vector<std::wstring> EntriesOf(HANDLE folder) {
  std::vector<std::wstring> names;
  alignas(FILE_ID_BOTH_DIR_INFO) char buffer[16 * 1024];
  for (auto kind = FileIdBothDirectoryRestartInfo;
       ::GetFileInformationByHandleEx(folder, kind, buffer, sizeof(buffer));
       kind = FileIdBothDirectoryInfo) {
    for (size_t at = 0;;) {
      const auto& entry = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + at);
      const std::wstring name(entry.FileName, entry.FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..") names.push_back(name);
      if (entry.NextEntryOffset == 0) break;
      at += entry.NextEntryOffset;
    }
  }
  return names;
}

bool MarkForRemoval(HANDLE item, bool remove) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = remove;
  return ::SetFileInformationByHandle(item, FileDispositionInfo, &disposition,
                                      sizeof(disposition)) != FALSE;
}

bool RemoveOpened(HANDLE item) {
  if (MarkForRemoval(item, true)) return true;
  // A read-only name goes only where the system removes it without touching the attributes it
  // shares with the file's other names (Windows 10 1809 and later, on NTFS).
  FILE_DISPOSITION_INFO_EX ignoring{FILE_DISPOSITION_FLAG_DELETE |
                                    FILE_DISPOSITION_FLAG_IGNORE_READONLY_ATTRIBUTE};
  return ::SetFileInformationByHandle(item, kFileDispositionInfoEx, &ignoring, sizeof(ignoring)) !=
         FALSE;
}

bool RemovesReadOnlyNames(HANDLE item) {
  // The flag is known where the system has it; the mark it makes goes again at once.
  FILE_DISPOSITION_INFO_EX ignoring{FILE_DISPOSITION_FLAG_DELETE |
                                    FILE_DISPOSITION_FLAG_IGNORE_READONLY_ATTRIBUTE};
  const bool known = ::SetFileInformationByHandle(item, kFileDispositionInfoEx, &ignoring,
                                                  sizeof(ignoring)) != FALSE;
  return known && MarkForRemoval(item, false);
}

bool LinkInFolder(HANDLE folder, const std::wstring& name, const std::wstring& target) {
  struct LinkInformation {
    BOOLEAN replaceIfExists;
    HANDLE rootDirectory;
    ULONG fileNameLength;
    WCHAR fileName[1];
  };
  using SetInformation = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, ULONG);
  static const auto set = SystemFunction<SetInformation>(L"ntdll.dll", "NtSetInformationFile");
  constexpr ULONG kFileLinkInformation = 11;
  const UniqueFileHandle file(::CreateFileW(target.c_str(), FILE_WRITE_ATTRIBUTES | SYNCHRONIZE,
                                            kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file || !set) return false;
  std::vector<char> buffer(sizeof(LinkInformation) + name.size() * sizeof(wchar_t));
  auto& link = *reinterpret_cast<LinkInformation*>(buffer.data());
  link.rootDirectory = folder;
  link.fileNameLength = static_cast<ULONG>(name.size() * sizeof(wchar_t));
  std::memcpy(link.fileName, name.data(), link.fileNameLength);
  IO_STATUS_BLOCK status{};
  return set(file.Get(), &status, buffer.data(), static_cast<ULONG>(buffer.size()),
             kFileLinkInformation) >= 0;
}

bool RenameOpened(HANDLE item, const std::wstring& path, bool replace) {
  std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + path.size() * sizeof(wchar_t));
  auto& rename = *reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename.ReplaceIfExists = replace;
  rename.FileNameLength = static_cast<DWORD>(path.size() * sizeof(wchar_t));
  std::memcpy(rename.FileName, path.data(), rename.FileNameLength);
  return ::SetFileInformationByHandle(item, FileRenameInfo, buffer.data(),
                                      static_cast<DWORD>(buffer.size())) != FALSE;
}

DWORD ReplaceByFile(const std::wstring& replaced, const std::wstring& replacement,
                    const std::wstring& backup, ReplaceCall replace) {
  if (replace(replaced.c_str(), replacement.c_str(), backup.c_str(),
              REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr)) {
    return ERROR_SUCCESS;
  }
  const DWORD error = ::GetLastError();
  // A file held open, or one this user may not replace, refuses a move just as well. Where the
  // replaced file was moved aside and the replacement not moved in (UNABLE_TO_MOVE_REPLACEMENT_2),
  // the move finishes the work.
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
      error == ERROR_LOCK_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED)
    return error;
  if (::MoveFileExW(replacement.c_str(), replaced.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return ERROR_SUCCESS;
  return ::GetLastError();
}

bool OwnedByThisUser(HANDLE item) {
  return ReachedBy(item, false) != Reach::Others;
}

bool OnlyThisUserCanReach(HANDLE item) {
  return ReachedBy(item, true) == Reach::ThisUserAlone;
}

std::optional<std::string> ReadWhole(HANDLE file, size_t maxBytes) {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size) || static_cast<uint64_t>(size.QuadPart) > maxBytes)
    return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) ||
      !::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    return std::nullopt;
  bytes.resize(read);
  return bytes;
}

bool Append(HANDLE file, std::string_view bytes) {
  LARGE_INTEGER end{};
  DWORD written = 0;
  return ::SetFilePointerEx(file, end, nullptr, FILE_END) &&
         ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool CopyContent(const std::wstring& from, HANDLE to, const WaitFor& wait) {
  return CopyAlongside(std::make_shared<Copy>(Copy{from, {}, Duplicate(to)}), wait);
}

bool CopyContent(HANDLE from, HANDLE to, const WaitFor& wait) {
  return CopyAlongside(std::make_shared<Copy>(Copy{{}, Duplicate(from), Duplicate(to)}), wait);
}

}  // namespace folianto

#include "platform/FileSystem.h"

#include <windows.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/MessagePump.h"
#include "platform/Paths.h"
#include "platform/UniqueHandle.h"

namespace folianto {

namespace {

// The text of a call that writes a path into a buffer of the size it asks for when first given
// none (GetFullPathNameW, GetShortPathNameW); none when the call fails.
template <typename Call>
std::optional<std::wstring> AskedPath(Call call) {
  const DWORD needed = call(nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring path(needed, L'\0');
  const DWORD length = call(path.data(), needed);
  if (length == 0 || length >= needed) return std::nullopt;
  path.resize(length);
  return path;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The names of what the program makes: this, then as many small letters, then ".tmp" for a file.
constexpr std::wstring_view kMadeNamePrefix = L"folianto-";
constexpr size_t kMadeNameLetters = 8;
constexpr std::wstring_view kMadeFileEnding = L".tmp";

// Makes something under a new name of plain ASCII letters in folder: make(path) tries one name
// and fails with ERROR_FILE_EXISTS or ERROR_ALREADY_EXISTS when it is taken. No fixed-size
// buffer, so a folder of any depth takes one. Returns the full path, or the empty text.
template <typename Make>
std::wstring MakeUnderNewName(const std::wstring& folder, const wchar_t* ending, Make make) {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  std::mt19937 random(static_cast<unsigned>(now.QuadPart) ^ ::GetCurrentProcessId());
  std::uniform_int_distribution<int> letter(0, 25);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring name(kMadeNamePrefix);
    for (size_t i = 0; i < kMadeNameLetters; ++i)
      name += static_cast<wchar_t>(L'a' + letter(random));
    const std::wstring path = InFolder(folder, name + ending);
    if (make(path)) return path;
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

bool GoneAfter(BOOL removed) {
  if (removed) return true;
  const DWORD error = ::GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The headers name FileDispositionInfoEx only for newer targets than this program's.
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);

// Deletes the name without touching the file's attributes at all, where Windows has the flag for
// it (Windows 10 1809 and later, on NTFS).
bool DeleteIgnoringReadOnly(const std::wstring& path) {
  const UniqueFileHandle file(
      ::CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  FILE_DISPOSITION_INFO_EX disposition{FILE_DISPOSITION_FLAG_DELETE |
                                       FILE_DISPOSITION_FLAG_IGNORE_READONLY_ATTRIBUTE};
  return file && ::SetFileInformationByHandle(file.Get(), kFileDispositionInfoEx, &disposition,
                                              sizeof(disposition));
}

// The attributes without the read-only flag, as the system takes them: none at all is "normal".
DWORD Writable(DWORD attributes) {
  const DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
  return writable != 0 ? writable : FILE_ATTRIBUTE_NORMAL;
}

bool SetAttributes(HANDLE file, DWORD attributes) {
  // Times of 0 are left as they are.
  FILE_BASIC_INFO basic{};
  basic.FileAttributes = attributes;
  return ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof(basic)) != FALSE;
}

// Elsewhere the flag is cleared for the deletion and set again through a handle that stays open
// on the file, which still reaches it when this name is gone.
bool DeleteClearingReadOnly(const std::wstring& path) {
  const UniqueFileHandle file(
      ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  FILE_BASIC_INFO basic;
  if (!file || !::GetFileInformationByHandleEx(file.Get(), FileBasicInfo, &basic, sizeof(basic)) ||
      !SetAttributes(file.Get(), Writable(basic.FileAttributes))) {
    return false;
  }
  const bool deleted = ::DeleteFileW(path.c_str()) != FALSE;
  SetAttributes(file.Get(), basic.FileAttributes);
  return deleted;
}

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

struct Copy {
  const std::wstring& from;
  const std::wstring& to;
  bool made = false;
  DWORD error = ERROR_SUCCESS;
};

// The copy is marked for removal until its last byte is written, so that one cut short (a read
// failing, the program ending in the middle, even its process stopped) is removed by the system.
void CopyWhole(Copy& copy) {
  // An input that another program has open, even for writing, is copied too.
  const UniqueFileHandle from(::CreateFileW(
      copy.from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  UniqueFileHandle to;
  if (from) {
    to.Reset(::CreateFileW(copy.to.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  }
  if (!to) {
    copy.error = ::GetLastError();
    return;
  }
  const bool marked = MarkForRemoval(to.Get(), true);
  copy.made = CopyBytes(from.Get(), to.Get()) && (!marked || MarkForRemoval(to.Get(), false));
  if (copy.made) return;
  copy.error = ::GetLastError();
  to.Reset();
  // Where the file system keeps no mark.
  ::DeleteFileW(copy.to.c_str());
}

DWORD WINAPI CopyOnItsThread(void* copy) {
  CopyWhole(*static_cast<Copy*>(copy));
  return 0;
}

// Copies on a thread of its own, waited for as the tool is, so that the window's messages keep
// running while a large file crosses to a slow volume. Fails where to exists, with the system's
// error as the last error.
bool CopyWhileMessagesRun(const std::wstring& from, const std::wstring& to) {
  Copy copy{from, to};
  const UniqueKernelHandle thread(::CreateThread(nullptr, 0, CopyOnItsThread, &copy, 0, nullptr));
  if (!thread) {
    CopyWhole(copy);
  } else if (!WaitRunningMessages(thread.Get())) {
    // The copy lives here: its thread must have ended before this returns.
    ::WaitForSingleObject(thread.Get(), INFINITE);
  }
  ::SetLastError(copy.error);
  return copy.made;
}

}  // namespace

bool MarkForRemoval(HANDLE file, bool remove) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = remove;
  return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof(disposition)) != FALSE;
}

bool IsMadeName(std::wstring_view name) {
  if (!name.starts_with(kMadeNamePrefix)) return false;
  name.remove_prefix(kMadeNamePrefix.size());
  if (name.size() < kMadeNameLetters) return false;
  for (size_t i = 0; i < kMadeNameLetters; ++i) {
    if (name[i] < L'a' || name[i] > L'z') return false;
  }
  name.remove_prefix(kMadeNameLetters);
  return name.empty() || name == kMadeFileEnding;
}

std::wstring FullPath(const std::wstring& path) {
  return AskedPath([&](wchar_t* buffer, DWORD size) {
           return ::GetFullPathNameW(path.c_str(), size, buffer, nullptr);
         })
      .value_or(path);
}

bool FileExists(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) != FALSE;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ApplicationFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return FolderOfPath(std::wstring_view(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
  // Reading attributes needs no right to the content, and backup semantics open folders too.
  const UniqueFileHandle file(::CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) return std::nullopt;
  // The 128-bit file id, where the file system gives one: on ReFS the 64-bit index of the older
  // call is not unique. On NTFS the two agree.
  FILE_ID_INFO id;
  if (::GetFileInformationByHandleEx(file.Get(), FileIdInfo, &id, sizeof(id))) {
    FileIdentity identity{id.VolumeSerialNumber};
    static_assert(sizeof(id.FileId.Identifier) == sizeof(identity.index) * 2);
    std::memcpy(&identity.index, id.FileId.Identifier, sizeof(identity.index));
    std::memcpy(&identity.indexHigh, id.FileId.Identifier + sizeof(identity.index),
                sizeof(identity.indexHigh));
    return identity;
  }
  BY_HANDLE_FILE_INFORMATION information;
  if (!::GetFileInformationByHandle(file.Get(), &information)) return std::nullopt;
  return FileIdentity{
      information.dwVolumeSerialNumber,
      (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
}

std::optional<size_t> SameFileAmong(const std::wstring& path,
                                    std::span<const std::wstring> others) {
  const std::wstring full = FullPath(path);
  for (size_t i = 0; i < others.size(); ++i) {
    if (SameText(full, FullPath(others[i]))) return i;
  }
  // A path that leads to no file (an output still to be made) is none of the others: their
  // identities are read only for one that does.
  const std::optional<FileIdentity> identity = IdentityOf(path);
  if (!identity || !identity->Known()) return std::nullopt;
  for (size_t i = 0; i < others.size(); ++i) {
    if (IdentityOf(others[i]) == identity) return i;
  }
  return std::nullopt;
}

std::optional<std::wstring> ShortPathOf(const std::wstring& path) {
  return AskedPath(
      [&](wchar_t* buffer, DWORD size) { return ::GetShortPathNameW(path.c_str(), buffer, size); });
}

std::wstring TemporaryFolder() {
  std::wstring folder = AskedPath([](wchar_t* buffer, DWORD size) {
                          return ::GetTempPathW(size, buffer);
                        }).value_or(L"");
  // The system gives it with a closing backslash; a drive root keeps its own.
  if (folder.size() > 3 && folder.ends_with(L'\\')) folder.pop_back();
  return folder;
}

std::wstring MakeTemporaryFileIn(const std::wstring& folder) {
  return MakeUnderNewName(folder, kMadeFileEnding.data(), [](const std::wstring& path) {
    return static_cast<bool>(UniqueFileHandle(::CreateFileW(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
  });
}

std::wstring MakeTemporaryFolderIn(const std::wstring& folder) {
  return MakeUnderNewName(folder, L"", [](const std::wstring& path) {
    return ::CreateDirectoryW(path.c_str(), nullptr) != FALSE;
  });
}

bool MakeHardLink(const std::wstring& link, const std::wstring& target) {
  return ::CreateHardLinkW(link.c_str(), target.c_str(), nullptr) != FALSE;
}

bool CopyToNewFile(const std::wstring& from, const std::wstring& to) {
  return CopyWhileMessagesRun(from, to);
}

bool MoveReplacing(const std::wstring& from, const std::wstring& to) {
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  if (::GetLastError() != ERROR_NOT_SAME_DEVICE) return false;
  // From another volume the file is copied beside its new name first, so that a file of that name
  // is only ever replaced by a whole copy.
  const std::wstring copy =
      MakeUnderNewName(FolderOfPath(to), kMadeFileEnding.data(),
                       [&](const std::wstring& path) { return CopyWhileMessagesRun(from, path); });
  if (copy.empty()) return false;
  if (!::MoveFileExW(copy.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    ::DeleteFileW(copy.c_str());
    return false;
  }
  ::DeleteFileW(from.c_str());
  return true;
}

bool RemoveFile(const std::wstring& path) {
  if (GoneAfter(::DeleteFileW(path.c_str()))) return true;
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY))
    return false;
  return DeleteIgnoringReadOnly(path) || DeleteClearingReadOnly(path);
}

bool RemoveFolder(const std::wstring& path) {
  return GoneAfter(::RemoveDirectoryW(path.c_str()));
}

}  // namespace folianto

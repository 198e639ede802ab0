#include "platform/FileSystem.h"

#include <windows.h>

#include <cstring>
#include <random>
#include <vector>

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

bool SameFullPath(const std::wstring& a, const std::wstring& b) {
  const std::wstring fullA = FullPath(a);
  const std::wstring fullB = FullPath(b);
  return ::CompareStringOrdinal(fullA.c_str(), static_cast<int>(fullA.size()), fullB.c_str(),
                                static_cast<int>(fullB.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

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

bool NameTheSameFile(const std::wstring& a, const std::wstring& b) {
  if (SameFullPath(a, b)) return true;
  const std::optional<FileIdentity> identityA = IdentityOf(a);
  return identityA && identityA->Known() && identityA == IdentityOf(b);
}

std::optional<std::wstring> ShortPathOf(const std::wstring& path) {
  return AskedPath(
      [&](wchar_t* buffer, DWORD size) { return ::GetShortPathNameW(path.c_str(), buffer, size); });
}

std::wstring MakeTemporaryFileIn(const std::wstring& folder) {
  // Letters only, and no fixed-size buffer, so a folder of any depth takes one.
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  std::mt19937 random(static_cast<unsigned>(now.QuadPart) ^ ::GetCurrentProcessId());
  std::uniform_int_distribution<int> letter(0, 25);
  const std::wstring prefix = folder.ends_with(L'\\') ? folder : folder + L"\\";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring path = prefix + L"folianto-";
    for (int i = 0; i < 8; ++i)
      path += static_cast<wchar_t>(L'a' + letter(random));
    path += L".tmp";
    const UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return path;
    if (::GetLastError() != ERROR_FILE_EXISTS) return {};
  }
  return {};
}

bool RenameReplacing(const std::wstring& from, const std::wstring& to) {
  return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

void RemoveFile(const std::wstring& path) {
  ::DeleteFileW(path.c_str());
}

}  // namespace folianto

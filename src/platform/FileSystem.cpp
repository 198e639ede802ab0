#include "platform/FileSystem.h"

#include <windows.h>

#include <vector>

#include "platform/FileHandles.h"
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

bool IsReadOnly(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
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
  return IdentityOfOpen(file.Get());
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

}  // namespace folianto

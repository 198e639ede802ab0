#include "platform/FileSystem.h"

#include <windows.h>

#include <vector>

#include "platform/Paths.h"
#include "platform/UniqueHandle.h"

namespace folianto {

namespace {

std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return path;
  full.resize(length);
  return full;
}

bool SameFullPath(const std::wstring& a, const std::wstring& b) {
  const std::wstring fullA = FullPath(a);
  const std::wstring fullB = FullPath(b);
  return ::CompareStringOrdinal(fullA.c_str(), static_cast<int>(fullA.size()), fullB.c_str(),
                                static_cast<int>(fullB.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

bool FileExists(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) != FALSE;
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
  BY_HANDLE_FILE_INFORMATION information;
  if (!file || !::GetFileInformationByHandle(file.Get(), &information)) return std::nullopt;
  return FileIdentity{
      information.dwVolumeSerialNumber,
      (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
}

bool NameTheSameFile(const std::wstring& a, const std::wstring& b) {
  if (SameFullPath(a, b)) return true;
  const std::optional<FileIdentity> identityA = IdentityOf(a);
  return identityA && identityA == IdentityOf(b);
}

}  // namespace folianto

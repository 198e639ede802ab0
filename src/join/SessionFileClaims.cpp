#include "join/SessionFileClaims.h"

#include <windows.h>

#include <cwchar>
#include <iterator>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/UniqueHandle.h"

namespace folianto {

namespace {

// How long a join waits for another to finish looking at the claims: far longer than a look
// takes, and never for ever, should a Folianto hang while it holds the lock.
constexpr DWORD kLockWaitMs = 10000;

std::wstring Hex(uint64_t value) {
  wchar_t text[17];
  std::swprintf(text, std::size(text), L"%016llX", static_cast<unsigned long long>(value));
  return text;
}

// 128 bits of FNV-1a: names too long for an object's name still give one, and two names meet by
// chance less often than two files are ever claimed.
std::wstring Hash(std::wstring_view text) {
  std::wstring hash;
  for (uint64_t value : {0xCBF29CE484222325ull, 0x84222325CBF29CE4ull}) {
    for (const wchar_t c : text) {
      value ^= static_cast<uint16_t>(c);
      value *= 0x100000001B3ull;
    }
    hash += Hex(value);
  }
  return hash;
}

// The same upper case in every process, whatever its user's locale: file names ignore case.
std::wstring UpperCase(const std::wstring& text) {
  std::wstring upper(text.size(), L'\0');
  const int length = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(),
                                     static_cast<int>(text.size()), upper.data(),
                                     static_cast<int>(upper.size()), nullptr, nullptr, 0);
  return length > 0 ? upper.substr(0, static_cast<size_t>(length)) : text;
}

std::wstring IdentityKey(const FileIdentity& identity) {
  return Hex(identity.volume) + Hex(identity.indexHigh) + Hex(identity.index);
}

class HeldObjects final : public FileClaims::Held {
 public:
  std::vector<UniqueKernelHandle> objects;
};

}  // namespace

class SessionFileClaims::HeldLock final : public FileClaims::Held {
 public:
  HeldLock(UniqueKernelHandle mutex, SessionFileClaims& claims)
      : mutex_(std::move(mutex)), claims_(claims) {}
  ~HeldLock() override {
    claims_.names_.clear();
    claims_.folders_.clear();
    claims_.locked_ = false;
    ::ReleaseMutex(mutex_.Get());
  }

 private:
  UniqueKernelHandle mutex_;
  SessionFileClaims& claims_;
};

std::vector<std::wstring> SessionFileClaims::ClaimNames(const std::wstring& path, Use use) {
  auto [known, isNew] = names_.try_emplace(path);
  if (isNew) {
    const std::wstring full = FullPath(path);
    const std::wstring folder = FolderOfPath(full);
    // Most of a join's files share a folder, whose identity is looked up once.
    auto [folderKey, folderIsNew] = folders_.try_emplace(folder);
    if (folderIsNew) {
      if (const auto identity = IdentityOf(folder); identity && identity->Known())
        folderKey->second = IdentityKey(*identity);
    }
    // A folder's identity and the name in it tell every spelling of the path apart, and the path
    // itself stands in where the folder has no identity to tell.
    known->second.push_back(folderKey->second.empty()
                                ? L"path-" + Hash(UpperCase(full))
                                : L"in-" + folderKey->second + Hash(UpperCase(NameOfPath(full))));
    if (const auto file = IdentityOf(full); file && file->Known())
      known->second.push_back(L"file-" + IdentityKey(*file));
  }
  std::vector<std::wstring> names;
  for (const std::wstring& key : known->second)
    names.push_back((use == Use::Read ? L"Local\\Folianto-read-" : L"Local\\Folianto-write-") +
                    key);
  // Outside a look at the claims a file may have been made or replaced since: asked anew.
  if (!locked_) {
    names_.erase(known);
    folders_.clear();
  }
  return names;
}

bool SessionFileClaims::Claimed(const std::wstring& path, Use use) {
  for (const std::wstring& name : ClaimNames(path, use)) {
    if (UniqueKernelHandle(::OpenEventW(SYNCHRONIZE, FALSE, name.c_str()))) return true;
  }
  return false;
}

std::unique_ptr<FileClaims::Held> SessionFileClaims::Hold(const std::wstring& path, Use use) {
  auto held = std::make_unique<HeldObjects>();
  std::vector<std::wstring> names = ClaimNames(path, use);
  // A file being read exists, and so does any file written in its place: its identity alone tells
  // it, where it has one (the last name).
  if (use == Use::Read && names.size() > 1) names.erase(names.begin(), names.end() - 1);
  for (const std::wstring& name : names) {
    UniqueKernelHandle object(::CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
    if (object) held->objects.push_back(std::move(object));
  }
  return held;
}

std::unique_ptr<FileClaims::Held> SessionFileClaims::Lock() {
  UniqueKernelHandle mutex(::CreateMutexW(nullptr, FALSE, L"Local\\Folianto-claims"));
  if (!mutex) return nullptr;
  // An owner that ended without letting go leaves the lock abandoned, and so free.
  const DWORD waited = ::WaitForSingleObject(mutex.Get(), kLockWaitMs);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return nullptr;
  locked_ = true;
  return std::make_unique<HeldLock>(std::move(mutex), *this);
}

}  // namespace folianto

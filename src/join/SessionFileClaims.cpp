#include "join/SessionFileClaims.h"

#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/CodePage.h"
#include "platform/FileHandles.h"
#include "platform/FileSystem.h"
#include "platform/Hex.h"
#include "platform/NamedObjects.h"
#include "platform/Paths.h"

namespace folianto {

namespace {

// How long a join waits for another to finish looking at the claims: far longer than a look
// takes, since the identities are read before it, and short enough to be a moment to the user,
// should a Folianto hang while it holds the lock.
constexpr unsigned kLockWaitMs = 3000;

// 128 bits of FNV-1a: names too long for an object's name still give one, and two names meet by
// chance less often than two files are ever claimed.
std::wstring Hash(std::wstring_view text) {
  std::wstring hash;
  for (uint64_t value : {0xCBF29CE484222325ull, 0x84222325CBF29CE4ull}) {
    for (const wchar_t c : text) {
      value ^= static_cast<uint16_t>(c);
      value *= 0x100000001B3ull;
    }
    hash += Hex(value, 16);
  }
  return hash;
}

std::wstring IdentityKey(const FileIdentity& identity) {
  return Hex(identity.volume, 16) + Hex(identity.indexHigh, 16) + Hex(identity.index, 16);
}

std::wstring ObjectName(const std::wstring& name, FileClaims::Use use) {
  return (use == FileClaims::Use::Read ? L"Local\\Folianto-read-" : L"Local\\Folianto-write-") +
         name;
}

class HeldObjects final : public FileClaims::Held {
 public:
  std::vector<void*> Handles() const override {
    std::vector<void*> handles;
    for (const UniqueKernelHandle& object : objects)
      handles.push_back(object.Get());
    return handles;
  }
  std::vector<UniqueKernelHandle> objects;
};

class HeldLock final : public FileClaims::Locked {
 public:
  explicit HeldLock(UniqueKernelHandle mutex) : mutex_(std::move(mutex)) {}
  ~HeldLock() override { ReleaseNamedMutex(mutex_.Get()); }

 private:
  UniqueKernelHandle mutex_;
};

}  // namespace

SessionFileClaims::SessionFileClaims(TimedWait wait) : wait_(std::move(wait)) {}

std::vector<FileClaims::Key> SessionFileClaims::KeysOf(const std::vector<std::wstring>& paths) {
  std::vector<Key> keys;
  // Most of a join's files share a folder, whose identity and volume are looked up once.
  std::map<std::wstring, FolderIdentities> folders;
  for (const std::wstring& path : paths) {
    Key& key = keys.emplace_back(Key{path, {}});
    const std::wstring full = FullPath(path);
    const std::wstring folderPath = FolderOfPath(full);
    FolderIdentities& folder = folders.try_emplace(folderPath, folderPath).first->second;
    const std::optional<FileIdentity>& in = folder.Folder();
    // A folder's identity and the name in it tell every spelling of the path apart; the path
    // itself, case aside, also where a volume numbers a folder anew for each spelling of its name
    // (Wine's on an exFAT driven through FUSE), or the folder has no identity to tell.
    key.names.push_back(L"path-" + Hash(InvariantUpperCase(full)));
    if (in && in->Known())
      key.names.push_back(L"in-" + IdentityKey(*in) + Hash(InvariantUpperCase(NameOfPath(full))));
    if (const auto file = folder.Of(full); file && file->Known())
      key.names.push_back(L"file-" + IdentityKey(*file));
  }
  return keys;
}

std::optional<bool> SessionFileClaims::Claimed(const Key& file, Use use) {
  for (const std::wstring& name : file.names) {
    const std::optional<bool> marked = NamedEventExists(ObjectName(name, use));
    if (!marked || *marked) return marked;
  }
  return false;
}

std::unique_ptr<FileClaims::Held> SessionFileClaims::Hold(const Key& file, Use use) {
  auto held = std::make_unique<HeldObjects>();
  // A file being read exists, and so does any file written in its place: its identity alone tells
  // it, where it has one (the last name).
  const size_t first = use == Use::Read && file.names.size() > 1 ? file.names.size() - 1 : 0;
  for (size_t i = first; i < file.names.size(); ++i) {
    UniqueKernelHandle object = MakeNamedEvent(ObjectName(file.names[i], use));
    if (!object) return nullptr;
    held->objects.push_back(std::move(object));
  }
  return held;
}

std::unique_ptr<FileClaims::Locked> SessionFileClaims::Lock() {
  // A name another program took for an object of another kind gives no lock at all.
  UniqueKernelHandle mutex = MakeNamedMutex(L"Local\\Folianto-claims");
  if (!mutex || !wait_(mutex.Get(), kLockWaitMs)) return nullptr;
  return std::make_unique<HeldLock>(std::move(mutex));
}

}  // namespace folianto

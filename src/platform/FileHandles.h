#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileIdentity.h"
#include "platform/UniqueHandle.h"

namespace folianto {

// Work on files through handles, so that nothing can swap a path between a look at what stands
// there and what is done to it.

// What stands at a path, opened without following a link: a junction or a symbolic link is
// opened itself, never what it leads to. Its identity is read only where it is asked for
// (IdentityOfOpen): under Wine each read asks the mount manager for the volume's serial number.
struct OpenedItem {
  UniqueFileHandle handle;
  bool folder = false;
  // A junction, a symbolic link or any other reparse point; also what one leads to, where the
  // system opened that instead (Wine does with a Unix symbolic link): never to be removed.
  bool link = false;
  // The system's error number when nothing could be opened: ERROR_DELETE_PENDING for a name on
  // its way out.
  DWORD error = ERROR_SUCCESS;

  explicit operator bool() const { return static_cast<bool>(handle); }
};

// The identity of an open file or folder; none when the system tells none.
std::optional<FileIdentity> IdentityOfOpen(HANDLE item);

// The identities of files in one folder, each as IdentityOf reads it by its path, the folder's
// volume looked at once: an entry that is neither a link nor leads elsewhere lies on its folder's
// volume, and on a local NTFS volume a file's 128-bit id is its 64-bit index, which costs nothing
// to read. Elsewhere each is read as IdentityOf reads it.
class FolderIdentities {
 public:
  explicit FolderIdentities(const std::wstring& folder);
  // The folder's own, as IdentityOf reads it.
  const std::optional<FileIdentity>& Folder() const { return folder_; }
  // That of the file at path, a full path in the folder.
  std::optional<FileIdentity> Of(const std::wstring& path);

 private:
  bool EntriesShareSerial();

  UniqueFileHandle handle_;
  std::optional<FileIdentity> folder_;
  int read_ = 0;
  // The folder's name as the system tells it, where its entries share its serial; else empty.
  std::optional<std::wstring> name_;
};

// What an item is opened for. To remove it (and to list it when it is a folder); only to look at
// its identity and access list, which a program that holds it without sharing its removal lets
// in; or also to read and write it, and only while nothing else has it open.
enum class OpenFor { Removing, LookingAt, Content };

// Opens path for that; a link among the folders above it is followed.
OpenedItem OpenWithoutFollowing(const std::wstring& path, OpenFor purpose = OpenFor::Removing);
// The same for the entry name of an open folder, opened through that folder.
OpenedItem OpenInFolderWithoutFollowing(HANDLE folder, const std::wstring& name,
                                        OpenFor purpose = OpenFor::Removing);

// The folder at path, opened to make things in; a link on the way is followed.
UniqueFileHandle OpenFolderToMakeIn(const std::wstring& path);
// The file at path, opened without following a link and held so: no one else may remove or
// rename it while the handle lives, but others may read and write it.
OpenedItem OpenKeptInPlace(const std::wstring& path);

// Who may use something new: as its folder passes on, or this user and the system alone.
enum class Access { Inherited, ThisUserOnly };

// A new file or folder named name in the open folder, opened as OpenWithoutFollowing opens it (a
// file also to read and write); fails with ERROR_ALREADY_EXISTS (or ERROR_FILE_EXISTS) as error
// when something has that name. A file may take the access list of the open item accessOf, and is
// not made when that list cannot be read.
OpenedItem CreateNewFile(HANDLE folder, const std::wstring& name, Access access,
                         HANDLE accessOf = nullptr);
// A folder kept in place can be neither removed nor moved nor renamed while its handle lives.
OpenedItem CreateNewFolder(HANDLE folder, const std::wstring& name, Access access,
                           bool keepInPlace = false);

// The names of every entry of an open folder, "." and ".." left out.
std::vector<std::wstring> EntriesOf(HANDLE folder);

// Marks an open file or folder (opened with DELETE access) to be removed when its last handle
// closes, or takes the mark back.
bool MarkForRemoval(HANDLE item, bool remove);

// Marks the name through which the item was opened to go once the last handle to it closes, the
// folder only when empty; true when it goes. A read-only name goes only where the system can
// remove it without clearing its flag, which a hard link shares with the file's other names.
bool RemoveOpened(HANDLE item);
// Whether RemoveOpened removes a read-only name on item's volume, asked of item (opened to be
// removed), which it leaves as it is.
bool RemovesReadOnlyNames(HANDLE item);
// Gives the file at target the second name name in the open folder, wherever that folder now is.
// Fails on another volume, on a file system without hard links and where this user may not write.
bool LinkInFolder(HANDLE folder, const std::wstring& name, const std::wstring& target);

// Gives the open item the name path, replacing a file of that name when replace.
bool RenameOpened(HANDLE item, const std::wstring& path, bool replace);

// Puts replacement in the place of replaced in one step that keeps the replaced file's attributes
// and access list where the file system can (replace, ReplaceFileW but in tests), moving replaced
// to backup on the way; else by a move that replaces it. The system's error number, 0 when it was
// done; either way replaced may be at backup now.
using ReplaceCall = decltype(&::ReplaceFileW);
DWORD ReplaceByFile(const std::wstring& replaced, const std::wstring& replacement,
                    const std::wstring& backup, ReplaceCall replace = &::ReplaceFileW);

// Whether the open item belongs to the account this program runs as.
bool OwnedByThisUser(HANDLE item);
// Whether it does, and its access list lets none but that account and the system in: false on a
// file system that keeps no access lists, or where one given when it was made did not take.
bool OnlyThisUserCanReach(HANDLE item);

// The whole content of an open file, up to maxBytes; none when it cannot be read or is longer.
std::optional<std::string> ReadWhole(HANDLE file, size_t maxBytes);
// Writes bytes at the file's current end; false when not all of them were written.
bool Append(HANDLE file, std::string_view bytes);

// Waits until the handle is signalled, the caller choosing what runs meanwhile; false when it gave
// up waiting.
using WaitFor = std::function<bool(HANDLE)>;

// Copies the content of the file at from into the open file to, on a thread of its own while wait
// waits for it. Fails with the system's error as the last error, ERROR_CANCELLED where the wait
// gave up: the copy then goes on alone, into a handle of its own, until this program ends.
bool CopyContent(const std::wstring& from, HANDLE to, const WaitFor& wait);
// The same from an open file, read from where it stands.
bool CopyContent(HANDLE from, HANDLE to, const WaitFor& wait);

}  // namespace folianto

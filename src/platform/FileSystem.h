#pragma once

#include <optional>
#include <string>

#include "platform/FileIdentity.h"

namespace folianto {

// True when the file system can report the path's modification time stamp (folders included);
// any failure gives false.
bool FileExists(const std::wstring& path);

// The full path the system makes of path against the current folder; path itself where it cannot.
std::wstring FullPath(const std::wstring& path);

// True when path names a folder (a drive root included).
bool IsFolder(const std::wstring& path);

// The folder that holds the running program, without a closing backslash unless a drive root.
std::wstring ApplicationFolder();

// The identity of the file or folder at path, following links; none when it cannot be opened. It
// may be unknown (see FileIdentity::Known).
std::optional<FileIdentity> IdentityOf(const std::wstring& path);

// True when both paths name one file: the same full path (case aside), or, when both exist, the
// same known identity, however differently they are spelt.
bool NameTheSameFile(const std::wstring& a, const std::wstring& b);

// The path in 8.3 short names; none where the volume keeps none or the path is not there.
std::optional<std::wstring> ShortPathOf(const std::wstring& path);

// A new, empty file named in plain ASCII letters in folder; its full path, or the empty text.
std::wstring MakeTemporaryFileIn(const std::wstring& folder);

// Renames from to to, replacing a file of that name.
bool RenameReplacing(const std::wstring& from, const std::wstring& to);

void RemoveFile(const std::wstring& path);

}  // namespace folianto

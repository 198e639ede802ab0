#pragma once

#include <windows.h>

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
// True when path names a file with the read-only flag.
bool IsReadOnly(const std::wstring& path);

// The folder that holds the running program, without a closing backslash unless a drive root.
std::wstring ApplicationFolder();

// The identity of the file or folder at path, following links; none when it cannot be opened. It
// may be unknown (see FileIdentity::Known).
std::optional<FileIdentity> IdentityOf(const std::wstring& path);

// The path in 8.3 short names; none where the volume keeps none or the path is not there.
std::optional<std::wstring> ShortPathOf(const std::wstring& path);

// The user's folder for temporary files, without a closing backslash unless a drive root; empty
// when the system names none.
std::wstring TemporaryFolder();

}  // namespace folianto

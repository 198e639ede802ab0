#pragma once

#include <optional>
#include <string>

#include "platform/FileIdentity.h"

namespace folianto {

// True when the file system can report the path's modification time stamp (folders included);
// any failure gives false.
bool FileExists(const std::wstring& path);

// The folder that holds the running program, without a closing backslash unless a drive root.
std::wstring ApplicationFolder();

// The identity of the file or folder at path, following links; none when it cannot be opened.
std::optional<FileIdentity> IdentityOf(const std::wstring& path);

// True when both paths name one file: the same full path (case aside), or, when both exist, the
// same identity, however differently they are spelt.
bool NameTheSameFile(const std::wstring& a, const std::wstring& b);

}  // namespace folianto

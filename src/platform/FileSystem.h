#pragma once

#include <string>

namespace folianto {

// True when the file system can report the path's modification time stamp (folders included);
// any failure gives false.
bool FileExists(const std::wstring& path);

// The folder that holds the running program, without a closing backslash unless a drive root.
std::wstring ApplicationFolder();

}  // namespace folianto

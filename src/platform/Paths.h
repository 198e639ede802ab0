#pragma once

#include <string>
#include <string_view>

namespace folianto {

// The folder part of a file's full path, without a closing backslash unless it is a drive root:
// "C:\Tools\folianto.exe" gives "C:\Tools", "C:\folianto.exe" gives "C:\".
std::wstring FolderOfPath(std::wstring_view path);

}  // namespace folianto

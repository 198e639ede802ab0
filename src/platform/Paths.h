#pragma once

#include <string>
#include <string_view>

namespace folianto {

// The folder part of a file's full path, without a closing backslash unless it is a drive root:
// "C:\Tools\folianto.exe" gives "C:\Tools", "C:\folianto.exe" gives "C:\".
std::wstring FolderOfPath(std::wstring_view path);

// The last part of a path, after its last backslash or slash: "C:\Tools\a.pdf" gives "a.pdf".
std::wstring NameOfPath(std::wstring_view path);

// The path of name in folder, with one backslash between them: a drive root keeps its own; no
// folder gives the name alone.
std::wstring InFolder(std::wstring_view folder, std::wstring_view name);

}  // namespace folianto

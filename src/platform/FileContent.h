#pragma once

#include <string>
#include <string_view>

namespace folianto {

// Writes bytes as the whole content of the file at path, which is made or emptied first; false
// when the file could not be written whole.
bool WriteFileContent(const std::wstring& path, std::string_view bytes);

}  // namespace folianto

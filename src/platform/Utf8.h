#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace folianto {

// Text as UTF-8 bytes, and back. wchar_t holds UTF-16 on Windows and UTF-32 elsewhere; both come
// and go whole. A lone surrogate becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);
// None when bytes are not UTF-8.
std::optional<std::wstring> FromUtf8(std::string_view bytes);
// The same, with each byte that starts no sequence of UTF-8 read as U+FFFD.
std::wstring FromUtf8Replacing(std::string_view bytes);

}  // namespace folianto

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace folianto {

// Text in the system's ANSI code page, as a program with a narrow main reads its command line and
// standard input; none when a character would not come back as it is. UTF-8 where that is the
// code page.
std::optional<std::string> InAnsiCodePage(std::wstring_view text);

// Whether text comes back unchanged through the system's ANSI code page. Always true where that
// code page is UTF-8.
bool SurvivesAnsiCodePage(const std::wstring& text);

// Text in upper case, the same in every process whatever its user's locale, as file names ignore
// case.
std::wstring InvariantUpperCase(const std::wstring& text);

// The characters of text that do not come back unchanged through the ANSI code page, each once, in
// the order of their first appearance; a character beyond the first plane as its surrogate pair.
std::vector<std::wstring> CharactersOutsideAnsiCodePage(std::wstring_view text);

}  // namespace folianto

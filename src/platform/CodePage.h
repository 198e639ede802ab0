#pragma once

#include <string>

namespace folianto {

// Whether text comes back unchanged through the system's ANSI code page, as a program with a
// narrow main reads its command line. Always true where that code page is UTF-8.
bool SurvivesAnsiCodePage(const std::wstring& text);

// Text in upper case, the same in every process whatever its user's locale, as file names ignore
// case.
std::wstring InvariantUpperCase(const std::wstring& text);

}  // namespace folianto

#pragma once

#include <string>
#include <string_view>

namespace folianto {

// The system's ANSI code page, in which a program with a narrow main reads its command line and
// standard input.
unsigned AnsiCodePage();

// Writes text into narrow in the ANSI code page: false, and narrow empty, when a character would
// not come back as it is. UTF-8 where that is the code page. Every copy made on the way is wiped;
// narrow is the caller's to wipe.
bool InAnsiCodePage(std::wstring_view text, std::string& narrow);

// Whether text comes back unchanged through the system's ANSI code page. Always true where that
// code page is UTF-8.
bool SurvivesAnsiCodePage(const std::wstring& text);

// Text in upper case, the same in every process whatever its user's locale, as file names ignore
// case.
std::wstring InvariantUpperCase(const std::wstring& text);

}  // namespace folianto

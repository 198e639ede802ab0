#pragma once

#include <span>
#include <string>
#include <string_view>

namespace folianto {

// The most entries one join takes: their handle letters run from A to Y.
inline constexpr int kMaxJoinEntries = 25;

// The handle letter of the entry at 1-based `position`: A for 1, B for 2, and so on.
wchar_t HandleLetter(int position);

// The one command line that has pdftk.exe in applicationFolder join the entries, in list order,
// into outputPath. Paths go between double quotes exactly as they are. An entry that fails the PDF
// test gets neither a handle assignment nor a place in the page list, so the tool is never handed
// a letter without a file; the others keep the letter of their position.
std::wstring BuildJoinCommandLine(std::wstring_view applicationFolder,
                                  std::span<const std::wstring> entries,
                                  std::wstring_view outputPath);

// The progress bar's value once entry `position` of `count` is on the line: position / count x 100,
// worked out in single precision as the bar always has been, to the nearest whole step.
int JoinProgress(int position, int count);

}  // namespace folianto

#pragma once

#include <span>
#include <string>
#include <string_view>

namespace folianto {

// The most entries one join takes: their handle letters run from A to Y.
inline constexpr int kMaxJoinEntries = 25;

// The handle letter of the entry at 1-based `position`: A for 1, B for 2, and so on.
wchar_t HandleLetter(int position);

// The start of every command line that runs pdftk.exe in applicationFolder: its path between double
// quotes, as the folder's text gives it followed by "\pdftk.exe", and one space.
std::wstring ToolCommand(std::wstring_view applicationFolder);

// The one command line that has pdftk.exe in applicationFolder join the entries, in list order,
// into outputPath. Each entry is handed to the tool in its form in toolForms, at the same position
// (its short form, say), between double quotes exactly as it is. An entry that fails the PDF test
// as listed gets neither a handle assignment nor a place in the page list, so the tool is never
// handed a letter without a file; the others keep the letter of their position.
std::wstring BuildJoinCommandLine(std::wstring_view applicationFolder,
                                  std::span<const std::wstring> entries,
                                  std::span<const std::wstring> toolForms,
                                  std::wstring_view outputPath);

// The same with every entry handed to the tool as listed.
inline std::wstring BuildJoinCommandLine(std::wstring_view applicationFolder,
                                         std::span<const std::wstring> entries,
                                         std::wstring_view outputPath) {
  return BuildJoinCommandLine(applicationFolder, entries, entries, outputPath);
}

// The progress bar's value once entry `position` of `count` is on the line: position / count x 100,
// worked out in single precision as the bar always has been, to the nearest whole step.
int JoinProgress(int position, int count);

}  // namespace folianto

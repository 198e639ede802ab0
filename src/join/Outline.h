#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace folianto {

// One entry of a document's outline, as pdftk.exe reports and writes them: level 1 at the top,
// pages counted from 1.
struct Bookmark {
  std::wstring title;
  int level = 1;
  int page = 1;

  bool operator==(const Bookmark&) const = default;
};

// The number of pages the tool added from each input, in order, as its join with the keyword
// "verbose" tells them: a line "   Adding page N ..." for every page, N starting at 1 again with
// each input. None where a count, or all of them together, pass what a page number
// holds.
std::vector<int> PagesPerInput(std::wstring_view verboseOutput);

// The bookmarks of a document, in their order, from what dump_data_utf8 wrote about it.
std::vector<Bookmark> BookmarksOf(std::wstring_view dump);

// The title of a file's own entry in the outline: its name as the list shows it, without ".pdf".
std::wstring FileEntryTitle(const std::wstring& path);

// The outline of a joined document with an entry per joined file: at the top, titles[i] at the
// first page of file i (whose pages follow each other, pages[i] of them), and under each, the
// bookmarks of joined that lie in its pages, one level deeper, in their order. A bookmark at page
// 0 (one the tool could not resolve) is left out and its children take its place; no entry is
// ever more than one level below the one before it, which would make the tool insert an empty one.
std::vector<Bookmark> OutlineWithFileEntries(const std::vector<std::wstring>& titles,
                                             const std::vector<int>& pages,
                                             const std::vector<Bookmark>& joined);

// The outline as update_info reads it: plain ASCII, "&" and every character beyond ASCII's
// printable ones written as "&#N;" with N its code point, since some builds of the tool read the
// file in the system's code page.
std::string OutlineData(const std::vector<Bookmark>& outline);

}  // namespace folianto

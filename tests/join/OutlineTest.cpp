#include "join/Outline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace folianto {
namespace {

// The data update_info reads, from its entries as "title|level|page".
std::string Data(const std::vector<std::string>& entries) {
  std::string data;
  for (const std::string& entry : entries) {
    const size_t bar = entry.find('|'), second = entry.find('|', bar + 1);
    data += "BookmarkBegin\nBookmarkTitle: " + entry.substr(0, bar) +
            "\nBookmarkLevel: " + entry.substr(bar + 1, second - bar - 1) +
            "\nBookmarkPageNumber: " + entry.substr(second + 1) + "\n";
  }
  return data;
}

// What dump_data_utf8 writes of one bookmark.
std::wstring Dumped(const std::wstring& title, int level, int page) {
  return L"BookmarkBegin\nBookmarkTitle: " + title + L"\nBookmarkLevel: " + std::to_wstring(level) +
         L"\nBookmarkPageNumber: " + std::to_wstring(page) + L"\n";
}

// The join's words with "verbose" for inputs of these page counts: a line for every page, or for
// a count too long to write out, for its first and its last.
std::wstring Verbose(const std::vector<int>& pages) {
  std::wstring text = L"Creating Output ...\r\n";
  for (const int count : pages) {
    for (int page = 1; page <= count; page = page == 1 && count > 1000 ? count : page + 1)
      text += L"   Adding page " + std::to_wstring(page) + L" XNORTHX  from in.pdf\r\n";
  }
  return text + L"WARNING: The creator of the input PDF:\r\n";
}

TEST(Outline, GivesEachFileAnEntryWithItsOwnBookmarksBelow) {
  const std::wstring smile = L"\U0001F600", smileInHalves = L"\xD83D\xDE00";
  const struct {
    const char* name;
    std::vector<std::wstring> files;
    std::vector<int> pages;
    std::wstring dump;  // of the joined file: the bookmarks at their joined pages
    std::string data;
  } cases[] = {
      {"titled without .pdf, at each file's first page, its bookmarks one level down",
       {L"D:\\in\\one.pdf", L"D:\\in\\two.PDF", L"D:\\in\\scan.xpdf"},
       {2, 1, 3},
       L"InfoBegin\nInfoKey: Creator\n" + Dumped(L"Intro", 1, 1) + Dumped(L"Detail", 2, 2) +
           Dumped(L"End", 1, 5) + L"PageMediaBegin\nPageMediaNumber: 1\n",
       Data({"one|1|1", "Intro|2|1", "Detail|3|2", "two|1|3", "scan.xpdf|1|4", "End|2|5"})},
      {"names and titles beyond ASCII, and &, as entities of their code points",
       {L"D:\\\u0395\u03bb\u03bb\u03ac\u03b4\u03b1.pdf", L"D:\\a&b.pdf"},
       {1, 1},
       Dumped(L"\u00dcber " + smile + smileInHalves + L" & <x> &amp;", 1, 2),
       Data({"&#917;&#955;&#955;&#940;&#948;&#945;|1|1", "a&#38;b|1|2",
             "&#220;ber &#128512;&#128512; &#38; <x> &#38;amp;|2|2"})},
      {"a bookmark at page 0 is left out and its children take its place",
       {L"D:\\one.pdf"},
       {2},
       Dumped(L"Part", 1, 1) + Dumped(L"Lost", 2, 0) + Dumped(L"Found", 3, 2) +
           Dumped(L"Next", 2, 2) + Dumped(L"Gone", 1, 0) + Dumped(L"Orphan", 2, 1),
       Data({"one|1|1", "Part|2|1", "Found|3|2", "Next|3|2", "Orphan|2|1"})},
      {"a level that skips one comes right below the entry before it",
       {L"D:\\one.pdf", L"D:\\two.pdf"},
       {1, 1},
       Dumped(L"Top", 1, 1) + Dumped(L"Deep", 3, 1) + Dumped(L"Deeper", 4, 1) +
           Dumped(L"Stray", 2, 2) + Dumped(L"Beyond", 1, 3),
       Data({"one|1|1", "Top|2|1", "Deep|3|1", "Deeper|4|1", "two|1|2", "Stray|2|2"})},
      {"files without bookmarks, one page each",
       {L"a.pdf", L"b.pdf"},
       {1, 1},
       L"",
       Data({"a|1|1", "b|1|2"})},
      {"more pages in all than a page number holds: no pages told, no outline",
       {L"a.pdf", L"b.pdf", L"c.pdf"},
       {1'000'000'000, 1'000'000'000, 1'000'000'000},
       Dumped(L"Far", 1, 2'000'000'001),
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::wstring> titles;
    for (const std::wstring& file : c.files)
      titles.push_back(FileEntryTitle(file));
    const std::vector<int> pages = PagesPerInput(Verbose(c.pages));
    EXPECT_EQ(pages, c.data.empty() ? std::vector<int>{} : c.pages);
    EXPECT_EQ(OutlineData(OutlineWithFileEntries(titles, pages, BookmarksOf(c.dump))), c.data);
  }
}

}  // namespace
}  // namespace folianto

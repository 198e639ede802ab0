#include "join/Outline.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cwctype>
#include <utility>

#include "platform/Paths.h"

namespace folianto {

namespace {

// Each line of text, without its line break.
template <typename Visit>
void ForEachLine(std::wstring_view text, Visit visit) {
  while (!text.empty()) {
    const size_t end = std::min(text.find(L'\n'), text.size());
    std::wstring_view line = text.substr(0, end);
    if (line.ends_with(L'\r')) line.remove_suffix(1);
    visit(line);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
}

// The number at the start of text; 0 when it starts with none, -1 when it passes what an int
// holds, as no page or level of a real document does.
int LeadingNumber(std::wstring_view text) {
  int64_t number = 0;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') break;
    number = number * 10 + (c - L'0');
    if (number > INT_MAX) return -1;
  }
  return static_cast<int>(number);
}

// The rest of line after key, when it starts with it.
bool After(std::wstring_view line, std::wstring_view key, std::wstring_view& rest) {
  if (!line.starts_with(key)) return false;
  rest = line.substr(key.size());
  return true;
}

uint32_t CodePointAt(std::wstring_view text, size_t& i) {
  const auto unit = static_cast<uint32_t>(text[i]);
  if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size()) {
    const auto low = static_cast<uint32_t>(text[i + 1]);
    if (low >= 0xDC00 && low <= 0xDFFF) {
      ++i;
      return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
  }
  return unit;
}

std::string InAscii(std::wstring_view text) {
  std::string ascii;
  for (size_t i = 0; i < text.size(); ++i) {
    const uint32_t c = CodePointAt(text, i);
    if (c >= 0x20 && c < 0x7F && c != '&') {
      ascii += static_cast<char>(c);
    } else {
      ascii += "&#" + std::to_string(c) + ";";
    }
  }
  return ascii;
}

}  // namespace

std::vector<int> PagesPerInput(std::wstring_view verboseOutput) {
  std::vector<int> pages;
  bool readable = true;
  ForEachLine(verboseOutput, [&](std::wstring_view line) {
    line.remove_prefix(std::min(line.find_first_not_of(L' '), line.size()));
    std::wstring_view rest;
    if (!After(line, L"Adding page ", rest)) return;
    const int page = LeadingNumber(rest);
    if (page < 0) {
      readable = false;
    } else if (page == 1) {
      pages.push_back(1);
    } else if (page > 1 && !pages.empty()) {
      pages.back() = page;
    }
  });
  // The first page after the last file must be a page number too; a report beyond that is no real
  // document's, and its sums would wrap.
  int64_t total = 0;
  for (const int count : pages)
    total += count;
  if (!readable || total >= INT_MAX) pages.clear();
  return pages;
}

std::vector<Bookmark> BookmarksOf(std::wstring_view dump) {
  std::vector<Bookmark> bookmarks;
  ForEachLine(dump, [&](std::wstring_view line) {
    std::wstring_view rest;
    if (line == L"BookmarkBegin") {
      bookmarks.emplace_back();
    } else if (bookmarks.empty()) {
      return;
    } else if (After(line, L"BookmarkTitle:", rest)) {
      if (rest.starts_with(L' ')) rest.remove_prefix(1);
      bookmarks.back().title = rest;
    } else if (After(line, L"BookmarkLevel: ", rest)) {
      bookmarks.back().level = LeadingNumber(rest);
    } else if (After(line, L"BookmarkPageNumber: ", rest)) {
      bookmarks.back().page = LeadingNumber(rest);
    }
  });
  return bookmarks;
}

std::wstring FileEntryTitle(const std::wstring& path) {
  std::wstring name = NameOfPath(path);
  if (name.size() < 4) return name;
  std::wstring ending = name.substr(name.size() - 4);
  for (wchar_t& c : ending)
    c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  if (ending == L".pdf") name.resize(name.size() - 4);
  return name;
}

std::vector<Bookmark> OutlineWithFileEntries(const std::vector<std::wstring>& titles,
                                             const std::vector<int>& pages,
                                             const std::vector<Bookmark>& joined) {
  // Where each file's pages begin, and after the last one.
  std::vector<int> firstPages{1};
  for (const int count : pages)
    firstPages.push_back(firstPages.back() + count);

  // Each kept bookmark, under its file, at its depth below the outline's top: one level for each
  // kept bookmark above it.
  std::vector<std::vector<Bookmark>> underFile(titles.size());
  std::vector<std::pair<int, bool>> above;  // level and whether it is kept, from the top down
  for (const Bookmark& bookmark : joined) {
    while (!above.empty() && above.back().first >= bookmark.level)
      above.pop_back();
    const auto file = std::upper_bound(firstPages.begin(), firstPages.end(), bookmark.page) -
                      firstPages.begin() - 1;
    const bool kept = bookmark.page >= 1 &&
                      file < static_cast<std::ptrdiff_t>(std::min(titles.size(), pages.size()));
    if (kept) {
      const auto depth =
          std::count_if(above.begin(), above.end(), [](auto& a) { return a.second; });
      underFile[static_cast<size_t>(file)].push_back(
          {bookmark.title, static_cast<int>(depth) + 1, bookmark.page});
    }
    above.emplace_back(bookmark.level, kept);
  }

  std::vector<Bookmark> outline;
  for (size_t i = 0; i < titles.size() && i < pages.size(); ++i) {
    outline.push_back({titles[i], 1, firstPages[i]});
    int before = 1;
    for (const Bookmark& bookmark : underFile[i]) {
      const int level = std::min(bookmark.level + 1, before + 1);
      outline.push_back({bookmark.title, level, bookmark.page});
      before = level;
    }
  }
  return outline;
}

std::string OutlineData(const std::vector<Bookmark>& outline) {
  std::string data;
  for (const Bookmark& bookmark : outline) {
    data += "BookmarkBegin\nBookmarkTitle: " + InAscii(bookmark.title) +
            "\nBookmarkLevel: " + std::to_string(bookmark.level) +
            "\nBookmarkPageNumber: " + std::to_string(bookmark.page) + "\n";
  }
  return data;
}

}  // namespace folianto

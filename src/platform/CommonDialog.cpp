#include "platform/CommonDialog.h"

#include <algorithm>

namespace folianto {

std::wstring PlatformFilter(std::wstring_view barFilter) {
  std::wstring filter(barFilter);
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  if (!filter.empty() && filter.back() != L'\0') filter.push_back(L'\0');
  return filter;
}

std::vector<std::pair<std::wstring, std::wstring>> FilterPairs(std::wstring_view barFilter) {
  std::vector<std::pair<std::wstring, std::wstring>> pairs;
  while (!barFilter.empty()) {
    const size_t bar = barFilter.find(L'|');
    if (bar == std::wstring_view::npos) break;
    const std::wstring_view rest = barFilter.substr(bar + 1);
    const size_t end = std::min(rest.find(L'|'), rest.size());
    pairs.emplace_back(barFilter.substr(0, bar), rest.substr(0, end));
    barFilter = rest.substr(std::min(end + 1, rest.size()));
  }
  return pairs;
}

std::wstring DialogFileName(std::wstring_view buffer, bool multiSelect) {
  const size_t end = multiSelect ? buffer.find(std::wstring_view(L"\0\0", 2)) : buffer.find(L'\0');
  return std::wstring(buffer.substr(0, end));
}

}  // namespace folianto

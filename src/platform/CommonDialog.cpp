#include "platform/CommonDialog.h"

#include <algorithm>

namespace folianto {

std::wstring PlatformFilter(std::wstring_view barFilter) {
  std::wstring filter(barFilter);
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  if (!filter.empty() && filter.back() != L'\0') filter.push_back(L'\0');
  return filter;
}

std::wstring DialogFileName(std::wstring_view buffer, bool multiSelect) {
  size_t end = buffer.find(L'\0');
  if (multiSelect) {
    const size_t pair = buffer.find(std::wstring_view(L"\0\0", 2));
    end = pair;
  }
  return std::wstring(buffer.substr(0, end));
}

}  // namespace folianto

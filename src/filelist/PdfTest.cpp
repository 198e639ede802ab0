#include "filelist/PdfTest.h"

namespace folianto {

namespace {

wchar_t LowerAscii(wchar_t c) {
  return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
}

}  // namespace

bool PassesPdfTest(std::wstring_view path) {
  constexpr std::wstring_view kEnding = L"pdf";
  if (path.size() < kEnding.size()) return false;
  const std::wstring_view last = path.substr(path.size() - kEnding.size());
  for (size_t i = 0; i < kEnding.size(); ++i) {
    if (LowerAscii(last[i]) != kEnding[i]) return false;
  }
  return true;
}

}  // namespace folianto

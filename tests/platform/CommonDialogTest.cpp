#include "platform/CommonDialog.h"

#include <gtest/gtest.h>

namespace folianto {
namespace {

using namespace std::string_literals;

TEST(CommonDialogText, TurnsTheBarFilterIntoTheNulSeparatedForm) {
  EXPECT_EQ(PlatformFilter(L"PDF Files (*.pdf)|*.pdf|"), L"PDF Files (*.pdf)\0*.pdf\0"s);
  EXPECT_EQ(PlatformFilter(L"A|*.a|B|*.b"), L"A\0*.a\0B\0*.b\0"s);
  EXPECT_EQ(PlatformFilter(L""), L""s);
  using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;
  EXPECT_EQ(FilterPairs(L"PDF Files (*.pdf)|*.pdf|"), (Pairs{{L"PDF Files (*.pdf)", L"*.pdf"}}));
  EXPECT_EQ(FilterPairs(L"A|*.a|B|*.b"), (Pairs{{L"A", L"*.a"}, {L"B", L"*.b"}}));
  EXPECT_EQ(FilterPairs(L"A|*.a|B"), (Pairs{{L"A", L"*.a"}}));
}

TEST(CommonDialogText, ReadsTheFileNameBackFromTheBuffer) {
  const struct {
    std::wstring buffer;
    bool multiSelect;
    std::wstring fileName;
  } cases[] = {
      {L"D:\\in\\one.pdf\0\0junk"s, true, L"D:\\in\\one.pdf"s},
      {L"D:\\in\0a.pdf\0b.pdf\0\0junk"s, true, L"D:\\in\0a.pdf\0b.pdf"s},
      {L"D:\\in\0a.pdf\0b.pdf\0\0"s, false, L"D:\\in"s},
      {L"D:\\out\\all.pdf\0\0"s, false, L"D:\\out\\all.pdf"s},
      {L"\0\0"s, true, L""s},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DialogFileName(c.buffer, c.multiSelect), c.fileName)
        << testing::PrintToString(c.buffer);
  }
}

}  // namespace
}  // namespace folianto

#include "filelist/PdfTest.h"

#include <gtest/gtest.h>

namespace folianto {
namespace {

TEST(PdfTest, JudgesOnlyTheLastThreeCharactersWithoutRegardToCase) {
  const struct {
    const wchar_t* path;
    bool passes;
  } cases[] = {
      {L"C:\\in\\one.pdf", true},
      {L"C:\\in\\ONE.PDF", true},
      {L"report.Pdf", true},
      {L"C:\\in\\xpdf", true},
      {L"pdf", true},
      {L"PDF", true},
      {L"C:\\in\\a.pdf.bak", false},
      {L"C:\\in\\a.txt", false},
      {L"df", false},
      {L"", false},
      {L"a.pd", false},
      {L"a.pdf ", false},
      {L"C:\\\u00e9t\u00e9\\r\u00e9sum\u00e9.pdf", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PassesPdfTest(c.path), c.passes) << testing::PrintToString(std::wstring(c.path));
  }
}

}  // namespace
}  // namespace folianto

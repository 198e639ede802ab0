#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "support/WinTestSupport.h"

namespace folianto {
namespace {

TEST(FileExists, IsTrueForWhatHasATimeStampAndFalseForAnyFailure) {
  testing::TempFolder temp;
  const std::wstring file = temp.WriteFile(L"a.pdf");
  const std::wstring folder = temp.MakeFolder(L"sub");
  const struct {
    std::wstring path;
    bool exists;
  } cases[] = {
      {file, true},
      {folder, true},
      {folder + L"\\", true},
      {temp.Path() + L"\\missing.pdf", false},
      {temp.Path() + L"\\missing\\deeper.pdf", false},
      {temp.Path() + L"\\bad<>|name.pdf", false},
      {L"", false},
      {std::wstring(40000, L'x'), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileExists(c.path), c.exists) << ::testing::PrintToString(c.path.substr(0, 200));
  }
}

TEST(ApplicationFolder, IsTheRunningProgramsFolderWithoutAClosingBackslash) {
  const std::wstring folder = ApplicationFolder();
  ASSERT_GT(folder.size(), 3u);
  EXPECT_NE(folder.back(), L'\\');
  EXPECT_TRUE(FileExists(folder + L"\\platform_wintests.exe"));
}

// Wine with a UTF-8 locale gives the Western code page, 1252.
TEST(AnsiCodePage, HoldsTextWholeOrNotAtAll) {
  ASSERT_EQ(::GetACP(), 1252u) << "the cases below are those of the Western code page";
  const struct {
    std::wstring text;
    bool survives;
  } cases[] = {
      {L"D:\\in\\plain.pdf", true},
      {L"D:\\caf\u00e9 \u00fcn\u00efcode \u00ff.pdf", true},
      {L"D:\\\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac.pdf", false},
      {L"D:\\\u65e5\u672c\u8a9e.pdf", false},
      // Best fit would make a plain "a" of it, a different name.
      {L"D:\\\u0101.pdf", false},
      // Best fit would make a quote and a backslash of these, which split the tool's arguments.
      {L"D:\\\uff02 A=\uff3c.pdf", false},
      {L"\u0141\u00f3d\u017a", false},
      {L"\U0001F600-\U0001F600", false},
      {L"", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    EXPECT_EQ(SurvivesAnsiCodePage(c.text), c.survives);
    std::string narrow = "left over";
    EXPECT_EQ(InAnsiCodePage(c.text, narrow), c.survives);
    // The Western code page holds each of the surviving texts' characters in one byte.
    EXPECT_EQ(narrow.size(), c.survives ? c.text.size() : 0u);
  }
}

}  // namespace
}  // namespace folianto

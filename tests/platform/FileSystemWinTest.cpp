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
TEST(AnsiCodePage, HoldsTextWholeOrNamesEachCharacterItLacksOnce) {
  ASSERT_EQ(::GetACP(), 1252u) << "the cases below are those of the Western code page";
  const struct {
    std::wstring text;
    std::wstring outside;  // the characters named, between spaces
  } cases[] = {
      {L"D:\\in\\plain.pdf", L""},
      {L"D:\\caf\u00e9 \u00fcn\u00efcode \u00ff.pdf", L""},
      {L"D:\\\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac.pdf",
       L"\u0395 \u03bb \u03b7 \u03bd \u03b9 \u03ba \u03ac"},
      {L"D:\\\u65e5\u672c\u8a9e.pdf", L"\u65e5 \u672c \u8a9e"},
      // Best fit would make a plain "a" of it, a different name.
      {L"D:\\\u0101.pdf", L"\u0101"},
      // Best fit would make a quote and a backslash of these, which split the tool's arguments.
      {L"D:\\\uff02 A=\uff3c.pdf", L"\uff02 \uff3c"},
      {L"\u0141\u00f3d\u017a", L"\u0141 \u017a"},
      {L"\U0001F600-\U0001F600", L"\U0001F600"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    std::wstring outside;
    for (const std::wstring& character : CharactersOutsideAnsiCodePage(c.text))
      outside += (outside.empty() ? L"" : L" ") + character;
    EXPECT_EQ(outside, c.outside);
    EXPECT_EQ(SurvivesAnsiCodePage(c.text), c.outside.empty());
  }
}

}  // namespace
}  // namespace folianto

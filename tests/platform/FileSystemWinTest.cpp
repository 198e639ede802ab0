#include "platform/FileSystem.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace folianto

#include "platform/Paths.h"

#include <gtest/gtest.h>

namespace folianto {
namespace {

TEST(FolderOfPath, DropsTheFileNameAndKeepsADriveRootsBackslashAndInFolderPutsItBack) {
  const struct {
    const wchar_t* path;
    const wchar_t* folder;
    const wchar_t* name;
  } cases[] = {
      {L"C:\\Tools\\folianto.exe", L"C:\\Tools", L"folianto.exe"},
      {L"C:\\folianto.exe", L"C:\\", L"folianto.exe"},
      {L"Z:\\home\\a b\\bin\\folianto.exe", L"Z:\\home\\a b\\bin", L"folianto.exe"},
      {L"\\\\server\\share\\folianto.exe", L"\\\\server\\share", L"folianto.exe"},
      {L"folianto.exe", L"", L"folianto.exe"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FolderOfPath(c.path), c.folder) << testing::PrintToString(std::wstring(c.path));
    EXPECT_EQ(NameOfPath(c.path), c.name) << testing::PrintToString(std::wstring(c.path));
    EXPECT_EQ(InFolder(c.folder, c.name), c.path) << testing::PrintToString(std::wstring(c.path));
  }
}

}  // namespace
}  // namespace folianto

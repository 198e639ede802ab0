#include "platform/Paths.h"

#include <gtest/gtest.h>

namespace folianto {
namespace {

TEST(FolderOfPath, DropsTheFileNameAndKeepsADriveRootsBackslash) {
  const struct {
    const wchar_t* path;
    const wchar_t* folder;
  } cases[] = {
      {L"C:\\Tools\\folianto.exe", L"C:\\Tools"},
      {L"C:\\folianto.exe", L"C:\\"},
      {L"Z:\\home\\a b\\bin\\folianto.exe", L"Z:\\home\\a b\\bin"},
      {L"\\\\server\\share\\folianto.exe", L"\\\\server\\share"},
      {L"folianto.exe", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FolderOfPath(c.path), c.folder) << testing::PrintToString(std::wstring(c.path));
  }
}

}  // namespace
}  // namespace folianto

#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/FileHandles.h"
#include "support/LinuxFixture.h"
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

// Read in one folder, each file's identity is the one its path alone gives, also for a hard link,
// and for a Unix link that leads to another file system, whose files number from 1 again.
TEST(FolderIdentities, TellEachFileAsItsPathDoes) {
  const std::wstring other = testing::OtherVolumeRoot();
  ASSERT_FALSE(other.empty()) << "no Linux fixture";
  testing::TempFolder temp;
  const std::wstring names[] = {L"a.pdf", L"b.pdf", L"c.pdf"};
  for (const std::wstring& name : names)
    temp.WriteFile(name);
  const std::wstring in = temp.Path() + L"\\";
  ASSERT_TRUE(::CreateHardLinkW((in + L"link.pdf").c_str(), (in + L"b.pdf").c_str(), nullptr));
  const std::wstring elsewhere = other + L"identities-" + std::to_wstring(::GetCurrentProcessId());
  testing::WriteWhole(elsewhere, "%PDF-1.4\n");
  ASSERT_TRUE(testing::LinkUnix(in + L"elsewhere.pdf", elsewhere));
  ASSERT_TRUE(testing::LinkUnix(in + L"near.pdf", in + L"c.pdf"));
  const std::wstring read[] = {L"a.pdf",         L"b.pdf",    L"link.pdf",
                               L"elsewhere.pdf", L"near.pdf", L"gone.pdf"};
  FolderIdentities identities(temp.Path());
  EXPECT_EQ(identities.Folder(), IdentityOf(temp.Path()));
  for (const std::wstring& name : read) {
    SCOPED_TRACE(::testing::PrintToString(name));
    EXPECT_EQ(identities.Of(in + name), IdentityOf(in + name));
  }
  EXPECT_EQ(identities.Of(in + L"link.pdf"), IdentityOf(in + L"b.pdf"));
  ::DeleteFileW(elsewhere.c_str());
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

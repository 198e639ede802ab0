#include <gtest/gtest.h>

#include "support/LinuxFixture.h"
#include "support/WinTestSupport.h"

namespace folianto {
namespace {

using testing::TempFolder;
using testing::TestForm;
using Paths = std::vector<std::wstring>;

constexpr wchar_t kPickerTitle[] = L"Please select folder to add:";

// Clicks "Add All PDF File(s) In Folder" with the picker answering folder.
void AddFolder(TestForm& app, const std::wstring& folder) {
  app.dialogs.AnswerFolder(folder);
  testing::Click(app.form->Check4);
}

TEST(AddAllPdfFilesInFolder, AppendsTheAnsweredFolderTreeAfterTheExistingEntries) {
  TempFolder temp;
  const std::wstring& root = temp.Path();
  temp.WriteFile(L"report.pdf");
  temp.WriteFile(L"~$lock.pdf");
  temp.WriteFile(L"old\\a.pdf");
  temp.WriteFile(L"old\\notes.txt");
  temp.WriteFile(L"secret\\s.pdf");
  ASSERT_TRUE(::SetFileAttributesW((root + L"\\secret").c_str(), FILE_ATTRIBUTE_HIDDEN));

  TestForm app;
  app.form->ListView1.Append(L"E:\\first.pdf");
  AddFolder(app, root);
  EXPECT_EQ(app.dialogs.folderTitles, Paths{kPickerTitle});
  EXPECT_EQ(AllEntries(app.form->ListView1),
            (Paths{L"E:\\first.pdf", root + L"\\report.pdf", root + L"\\old\\a.pdf"}));
  EXPECT_EQ(app.form->ListView1.Selected(), 0);
  EXPECT_EQ(app.form->Check4.Value(), 0);
  EXPECT_TRUE(app.dialogs.messages.empty());
}

TEST(AddAllPdfFilesInFolder, AddsNothingAndSaysNothingWhenThereIsNothingToAdd) {
  TempFolder temp;
  temp.WriteFile(L"notes.txt");
  temp.WriteFile(L"sub\\deeper\\page.doc");
  const struct {
    const char* name;
    std::wstring answer;
  } cases[] = {
      {"cancel", L""},
      {"no PDF file at any depth", temp.Path()},
      {"a folder that is gone", temp.Path() + L"\\gone"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestForm app;
    app.form->ListView1.Append(L"E:\\first.pdf");
    AddFolder(app, c.answer);
    EXPECT_EQ(app.dialogs.folderTitles, Paths{kPickerTitle});
    EXPECT_EQ(AllEntries(app.form->ListView1), Paths{L"E:\\first.pdf"});
    EXPECT_TRUE(app.dialogs.messages.empty());
  }
}

TEST(AddAllPdfFilesInFolder, AddsEveryFileOfLargeFolders) {
  for (const int count : {30, 151}) {
    SCOPED_TRACE(count);
    TempFolder temp;
    for (int i = 0; i < count; ++i)
      temp.WriteFile(L"many\\f" + std::to_wstring(i) + L".pdf");
    TestForm app;
    AddFolder(app, temp.Path());
    EXPECT_EQ(app.form->ListView1.Count(), count);
    EXPECT_TRUE(app.dialogs.messages.empty());
  }
}

TEST(AddAllPdfFilesInFolder, TheSameFolderAddedTwiceStandsTwice) {
  TempFolder temp;
  temp.WriteFile(L"a.pdf");
  temp.WriteFile(L"sub\\b.pdf");
  TestForm app;
  AddFolder(app, temp.Path());
  AddFolder(app, temp.Path());
  const std::wstring a = temp.Path() + L"\\a.pdf";
  const std::wstring b = temp.Path() + L"\\sub\\b.pdf";
  EXPECT_EQ(AllEntries(app.form->ListView1), (Paths{a, b, a, b}));
}

TEST(AddAllPdfFilesInFolder, WalksTheFixtureFoldersToTheEnd) {
  const std::wstring fixture = testing::FixtureFolder();
  const std::wstring drive = testing::FixtureDriveRoot();
  ASSERT_FALSE(fixture.empty() || drive.empty()) << "no Linux fixture";
  const struct {
    const char* name;
    std::wstring answer;
    Paths added;
  } cases[] = {
      {"a drive root keeps the doubled backslash",
       drive,
       {drive + L"\\a.pdf", drive + L"\\docs\\b.pdf"}},
      {"an unreadable folder is skipped",
       fixture + L"\\locked",
       {fixture + L"\\locked\\a.pdf", fixture + L"\\locked\\open\\d.pdf"}},
      {"a link back into the tree is not followed",
       fixture + L"\\looped",
       {fixture + L"\\looped\\a.pdf", fixture + L"\\looped\\sub\\b.pdf"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestForm app;
    AddFolder(app, c.answer);
    EXPECT_EQ(AllEntries(app.form->ListView1), c.added);
    EXPECT_TRUE(app.dialogs.messages.empty());
  }
}

}  // namespace
}  // namespace folianto

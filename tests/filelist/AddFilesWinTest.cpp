#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>

#include "support/WinTestSupport.h"

namespace folianto {
namespace {

using namespace std::string_literals;
using testing::ScriptedDialogs;
using testing::TestForm;
using Paths = std::vector<std::wstring>;

TEST(AddPdfFiles, AppendsEachAnswerOfTheOpenDialogToTheRealList) {
  const struct {
    const char* name;
    ScriptedDialogs::FileAnswer answer;
    Paths added;
  } cases[] = {
      {"one pick", {DialogResult::Chosen, L"D:\\in\\one.pdf"}, {L"D:\\in\\one.pdf"}},
      {"three picks",
       {DialogResult::Chosen, L"D:\\in\0a.pdf\0b.pdf\0c.pdf"s},
       {L"D:\\in\\a.pdf", L"D:\\in\\b.pdf", L"D:\\in\\c.pdf"}},
      {"root folder",
       {DialogResult::Chosen, L"C:\\\0a.pdf\0b.PDF"s},
       {L"C:\\\\a.pdf", L"C:\\\\b.PDF"}},
      {"a text file among them",
       {DialogResult::Chosen, L"D:\\in\0a.pdf\0notes.txt\0b.pdf"s},
       {L"D:\\in\\a.pdf", L"D:\\in\\b.pdf"}},
      {"cancel", {DialogResult::Cancelled, L""}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestForm app;
    app.form->ListView1.Append(L"E:\\first.pdf");
    app.dialogs.AnswerOpen(c.answer);
    testing::Click(app.form->Check1);
    Paths expected{L"E:\\first.pdf"};
    expected.insert(expected.end(), c.added.begin(), c.added.end());
    EXPECT_EQ(AllEntries(app.form->ListView1), expected);
    EXPECT_EQ(app.form->ListView1.Selected(), 0);
    EXPECT_TRUE(app.dialogs.messages.empty());
  }
}

TEST(AddPdfFiles, SetsUpTheSharedDialogAndLeavesItsSettingsForTheNextOne) {
  TestForm app;
  CommonDialog& dialog = app.form->CommonDialog1;
  dialog.fileName = L"left over";
  dialog.defaultExt = L"pdf";
  app.dialogs.AnswerOpen({DialogResult::Chosen, L"D:\\in\\one.pdf"});
  testing::Click(app.form->Check1);

  ASSERT_EQ(app.dialogs.openShown.size(), 1u);
  const CommonDialog& shown = app.dialogs.openShown[0];
  EXPECT_EQ(shown.fileName, L"");
  EXPECT_EQ(shown.flags, 0x280201u);
  EXPECT_EQ(shown.dialogTitle, L"Add File(s) - Use Ctrl & Shift to select multiple files");
  EXPECT_EQ(shown.filter, L"PDF Files (*.pdf)|*.pdf|");
  EXPECT_EQ(shown.defaultExt, L"pdf") << "nothing else is touched";
  EXPECT_EQ(dialog.fileName, L"D:\\in\\one.pdf");
  EXPECT_EQ(dialog.flags, 0x280201u);
  EXPECT_EQ(dialog.filter, L"PDF Files (*.pdf)|*.pdf|");
}

TEST(AddPdfFiles, APickRepeatedStandsTwice) {
  TestForm app;
  for (int i = 0; i < 2; ++i) {
    app.dialogs.AnswerOpen({DialogResult::Chosen, L"D:\\in\\one.pdf"});
    testing::Click(app.form->Check1);
  }
  EXPECT_EQ(AllEntries(app.form->ListView1), (Paths{L"D:\\in\\one.pdf", L"D:\\in\\one.pdf"}));
}

TEST(AddPdfFiles, ADialogFailureIsReportedAndAddsNothing) {
  TestForm app;
  app.dialogs.AnswerOpen({DialogResult::Failed, L"", 0x3003});
  testing::Click(app.form->Check1);
  EXPECT_EQ(app.form->ListView1.Count(), 0);
  ASSERT_EQ(app.dialogs.messages.size(), 1u);
  EXPECT_NE(app.dialogs.messages[0].find(L"could not be read"), std::wstring::npos);
  EXPECT_NE(app.dialogs.messages[0].find(L"0x3003"), std::wstring::npos);
  // The window goes on working.
  app.dialogs.AnswerOpen({DialogResult::Chosen, L"D:\\in\\one.pdf"});
  testing::Click(app.form->Check1);
  EXPECT_EQ(app.form->ListView1.Count(), 1);
}

TEST(AddPdfFiles, KeepsLongAndNonLatinPathsWhole) {
  TestForm app;
  const std::wstring folder = L"D:\\\u0420\u0443\u0441\u0441\u043a\u0438\u0439\\" +
                              std::wstring(600, L'x') + L"\\\u65e5\u672c";
  app.dialogs.AnswerOpen({DialogResult::Chosen, folder + L"\0\u00e9t\u00e9.pdf"s});
  testing::Click(app.form->Check1);
  EXPECT_EQ(AllEntries(app.form->ListView1), (Paths{folder + L"\\\u00e9t\u00e9.pdf"}));
}

// A drop as Explorer makes one: a DROPFILES block with the wide names after it, each ended by a
// NUL and the list by one more.
HDROP MakeDrop(const Paths& paths) {
  std::wstring names;
  for (const std::wstring& path : paths)
    names += path + L'\0';
  names += L'\0';
  const size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
  const HGLOBAL memory = ::GlobalAlloc(GHND, bytes);
  auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(),
              names.size() * sizeof(wchar_t));
  ::GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

TEST(DropFiles, AppendsDroppedFilesAndWalkedFoldersInTheOrderOfTheDrop) {
  testing::TempFolder temp;
  const std::wstring loose = temp.WriteFile(L"loose.pdf");
  const std::wstring notes = temp.WriteFile(L"notes.txt", "notes");
  const std::wstring top = temp.WriteFile(L"tree\\top.PDF");
  const std::wstring deep = temp.WriteFile(L"tree\\sub\\deep.pdf");
  temp.WriteFile(L"tree\\~lock.pdf");
  temp.WriteFile(L"tree\\sub\\skip.doc");
  const std::wstring tree = temp.Path() + L"\\tree";

  TestForm app;
  app.form->ListView1.Append(L"D:\\first.pdf");
  ::SendMessageW(app.form->Handle(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({notes, tree, loose, tree})), 0);
  EXPECT_EQ(AllEntries(app.form->ListView1),
            (Paths{L"D:\\first.pdf", top, deep, loose, top, deep}));
  EXPECT_TRUE(app.dialogs.messages.empty());
  EXPECT_EQ(app.form->MousePointer(), PointerSetting::PlatformDefault) << "a drop sets no pointer";
}

}  // namespace
}  // namespace folianto

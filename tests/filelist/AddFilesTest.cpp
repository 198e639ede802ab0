#include "filelist/AddFiles.h"

#include <gtest/gtest.h>

#include "filelist/MemoryFileList.h"
#include "filelist/MemoryTree.h"

namespace folianto {
namespace {

using namespace std::string_literals;
using Paths = std::vector<std::wstring>;

TEST(PickedPaths, TurnsTheDialogResultIntoFullPaths) {
  const struct {
    std::wstring fileName;
    Paths expected;
  } cases[] = {
      {L""s, {}},
      {L"D:\\in\\one.pdf"s, {L"D:\\in\\one.pdf"}},
      {L"D:\\in\0one.pdf\0two.pdf\0three.pdf"s,
       {L"D:\\in\\one.pdf", L"D:\\in\\two.pdf", L"D:\\in\\three.pdf"}},
      // A drive root comes back with its backslash; one more is always inserted.
      {L"C:\\\0a.pdf\0b.pdf"s, {L"C:\\\\a.pdf", L"C:\\\\b.pdf"}},
      {L"C:\\a.pdf"s, {L"C:\\a.pdf"}},
      {L"D:\\My Files\0with space.pdf\0notes.txt"s,
       {L"D:\\My Files\\with space.pdf", L"D:\\My Files\\notes.txt"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PickedPaths(c.fileName), c.expected) << ::testing::PrintToString(c.fileName);
  }
}

TEST(AddPickedFiles, AppendsThePdfPicksInOrderAfterTheExistingEntries) {
  MemoryFileList list({L"C:\\old.pdf"});
  ListHistory history;
  AddPickedFiles(list, history, L"D:\\in\0b.PDF\0skip.txt\0a.pdf\0old.pdf.bak"s);
  EXPECT_EQ(list.Entries(), (Paths{L"C:\\old.pdf", L"D:\\in\\b.PDF", L"D:\\in\\a.pdf"}));
  EXPECT_EQ(list.Selected(), 0);
}

TEST(AddPickedFiles, KeepsDuplicatesAndIgnoresACancel) {
  MemoryFileList list;
  ListHistory history;
  AddPickedFiles(list, history, L"D:\\in\\one.pdf");
  AddPickedFiles(list, history, L"");
  AddPickedFiles(list, history, L"D:\\in\\one.pdf");
  EXPECT_EQ(list.Entries(), (Paths{L"D:\\in\\one.pdf", L"D:\\in\\one.pdf"}));
}

TEST(EntriesForDrop, TakesFilesAndWalkedFoldersInTheOrderOfTheDrop) {
  testing::MemoryTree tree(L"D:", {{L"in\\"},
                                   {L"in\\a.pdf"},
                                   {L"in\\~lock.pdf"},
                                   {L"in\\sub\\"},
                                   {L"in\\sub\\b.PDF"},
                                   {L"in\\notes.txt"},
                                   {L"empty\\"}});
  const std::vector<DroppedItem> drop = {{L"D:\\x.pdf", false},     {L"D:\\in", true},
                                         {L"D:\\notes.txt", false}, {L"D:\\empty", true},
                                         {L"D:\\y.Pdf", false},     {L"D:\\in", true}};
  EXPECT_EQ(EntriesForDrop(drop, tree),
            (Paths{L"D:\\x.pdf", L"D:\\in\\a.pdf", L"D:\\in\\sub\\b.PDF", L"D:\\y.Pdf",
                   L"D:\\in\\a.pdf", L"D:\\in\\sub\\b.PDF"}));
}

TEST(OpenDialogFailureMessage, AsksForFewerFilesOnlyWhenTheBufferWasTooSmall) {
  EXPECT_EQ(OpenDialogFailureMessage(0x3003),
            L"The selected files could not be read (dialog error 0x3003). No file was added; "
            L"please select fewer files at a time.");
  EXPECT_EQ(OpenDialogFailureMessage(0x2),
            L"The open dialog failed (dialog error 0x0002). No file was added.");
}

}  // namespace
}  // namespace folianto

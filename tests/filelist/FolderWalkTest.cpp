#include "filelist/FolderWalk.h"

#include <gtest/gtest.h>

#include "filelist/MemoryFileList.h"
#include "filelist/MemoryTree.h"

namespace folianto {
namespace {

using testing::MemoryTree;
using testing::Node;
using testing::ReparsePoint;
using testing::UnknownIdentity;
using testing::Unreadable;
using Paths = std::vector<std::wstring>;

constexpr uint32_t kAttributeReadOnly = 0x1;

// The tree of the level-order example: R holds A and B, A holds A1 and A2, B holds B1, A1 holds X.
const std::vector<Node> kLevelOrderTree = {
    {L"A\\"},     {L"r.pdf"},      {L"B\\"},          {L"A\\A1\\"},      {L"A\\A2\\"},
    {L"B\\B1\\"}, {L"A\\A1\\X\\"}, {L"A\\A1\\x.pdf"}, {L"A\\A2\\y.pdf"}, {L"B\\b.pdf"},
};

TEST(CollectSubfolders, AppendsTheSubfoldersInLevelOrder) {
  const struct {
    const char* name;
    std::vector<Node> tree;
    Paths folders;
    bool recurse;
    Paths expected;
  } cases[] = {
      {"level by level, grouped by parent",
       kLevelOrderTree,
       {L"D:\\R\\"},
       true,
       {L"D:\\R\\", L"D:\\R\\A\\", L"D:\\R\\B\\", L"D:\\R\\A\\A1\\", L"D:\\R\\A\\A2\\",
        L"D:\\R\\B\\B1\\", L"D:\\R\\A\\A1\\X\\"}},
      {"one level without recursion",
       kLevelOrderTree,
       {L"D:\\R\\"},
       false,
       {L"D:\\R\\", L"D:\\R\\A\\", L"D:\\R\\B\\"}},
      {"search order within a parent, never sorted",
       {{L"zeta\\"}, {L"Alpha\\"}, {L"mid\\"}, {L"Alpha\\b\\"}, {L"Alpha\\a\\"}},
       {L"D:\\R\\"},
       true,
       {L"D:\\R\\", L"D:\\R\\zeta\\", L"D:\\R\\Alpha\\", L"D:\\R\\mid\\", L"D:\\R\\Alpha\\b\\",
        L"D:\\R\\Alpha\\a\\"}},
      {"hidden and system folders left out with their subtrees",
       {{L"H\\", kAttributeHidden},
        {L"H\\deep\\"},
        {L"S\\", kAttributeSystem},
        {L"S\\deep\\"},
        {L"HS\\", kAttributeHidden | kAttributeSystem},
        {L"kept\\", kAttributeReadOnly},
        {L"kept\\deep\\"}},
       {L"D:\\R\\"},
       true,
       {L"D:\\R\\", L"D:\\R\\kept\\", L"D:\\R\\kept\\deep\\"}},
      {"files are not folders, whatever their names",
       {{L"notes.pdf"}, {L"book.pdf\\"}, {L"noext"}},
       {L"D:\\R\\"},
       true,
       {L"D:\\R\\", L"D:\\R\\book.pdf\\"}},
      {"the same folder twice",
       {{L"A\\"}},
       {L"D:\\R\\", L"D:\\R\\"},
       true,
       {L"D:\\R\\", L"D:\\R\\", L"D:\\R\\A\\", L"D:\\R\\A\\"}},
      {"a failing folder gives no subfolders, the others go on",
       {Unreadable(L"A\\"), {L"A\\A1\\"}, {L"B\\"}, {L"B\\B1\\"}},
       {L"D:\\R\\"},
       true,
       {L"D:\\R\\", L"D:\\R\\A\\", L"D:\\R\\B\\", L"D:\\R\\B\\B1\\"}},
      {"a missing start folder gives nothing", {}, {L"D:\\R\\gone\\"}, true, {L"D:\\R\\gone\\"}},
      {"links are followed, but never to a folder already taken",
       {{L"A\\"},
        ReparsePoint(L"A\\up\\", L"D:\\R"),
        ReparsePoint(L"A\\self\\", L"D:\\R\\A"),
        ReparsePoint(L"mount\\"),
        {L"mount\\inside\\"},
        ReparsePoint(L"B\\", L"D:\\R\\mount\\inside")},
       {L"D:\\R\\"},
       true,
       // B leads to mount\inside before the walk reaches it there: the first path met is kept.
       {L"D:\\R\\", L"D:\\R\\A\\", L"D:\\R\\mount\\", L"D:\\R\\B\\"}},
      {"folders of unknown identity are never taken for one another, also after a link",
       {UnknownIdentity(L"A\\"), UnknownIdentity(L"B\\"), ReparsePoint(L"link\\"),
        UnknownIdentity(L"A\\A1\\")},
       {L"D:\\R\\"},
       true,
       {L"D:\\R\\", L"D:\\R\\A\\", L"D:\\R\\B\\", L"D:\\R\\link\\", L"D:\\R\\A\\A1\\"}},
  };
  for (const auto& c : cases) {
    MemoryTree tree(L"D:\\R", c.tree);
    Paths folders = c.folders;
    CollectSubfolders(folders, c.recurse, tree);
    EXPECT_EQ(folders, c.expected) << c.name;
  }
}

TEST(ListFiles, GivesTheMatchingFileNamesInSearchOrder) {
  MemoryTree tree(L"D:\\R", {{L"report.pdf"},
                             {L"a.txt"},
                             {L"Summary.PDF"},
                             {L"hidden.pdf", kAttributeHidden},
                             {L"system.pdf", kAttributeSystem | kAttributeHidden},
                             {L"folder.pdf\\"},
                             {L"a.pdf.bak"},
                             {L"~$lock.pdf"},
                             {L"empty\\"},
                             Unreadable(L"locked\\"),
                             {L"locked\\inside.pdf"}});
  const Paths all{L"report.pdf", L"Summary.PDF", L"hidden.pdf", L"system.pdf", L"~$lock.pdf"};
  const struct {
    std::wstring folder;
    Paths expected;
  } cases[] = {
      {L"D:\\R", all},        {L"D:\\R\\", all},    {L"D:\\R\\empty", {}},
      {L"D:\\R\\locked", {}}, {L"D:\\R\\gone", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ListFiles(c.folder, L"*.pdf", tree), c.expected)
        << ::testing::PrintToString(c.folder);
  }
}

std::vector<Node> NumberedPdfFiles(const std::wstring& folder, int count) {
  std::vector<Node> nodes{{folder}};
  for (int i = count; i >= 1; --i)
    nodes.push_back({folder + L"f" + std::to_wstring(i) + L".pdf"});
  return nodes;
}

Paths NumberedPdfEntries(const std::wstring& folder, int count) {
  Paths entries;
  for (int i = count; i >= 1; --i)
    entries.push_back(folder + L"f" + std::to_wstring(i) + L".pdf");
  return entries;
}

TEST(ListFiles, KeepsEveryNameOfAFolderWithMoreThanAHundredMatches) {
  MemoryTree tree(L"D:\\R", NumberedPdfFiles(L"many\\", 151));
  Paths expected;
  for (int i = 151; i >= 1; --i)
    expected.push_back(L"f" + std::to_wstring(i) + L".pdf");
  EXPECT_EQ(ListFiles(L"D:\\R\\many", L"*.pdf", tree), expected);
}

TEST(AllPdfFilesInFolder, GivesTheEntriesToAppendFolderByFolder) {
  const struct {
    const char* name;
    std::wstring root;
    std::vector<Node> tree;
    Paths expected;
  } cases[] = {
      {"files first, then the subfolder's",
       L"D:\\in",
       {{L"old\\"}, {L"old\\a.pdf"}, {L"report.pdf"}, {L"Summary.PDF"}, {L"notes.txt"}},
       {L"D:\\in\\report.pdf", L"D:\\in\\Summary.PDF", L"D:\\in\\old\\a.pdf"}},
      {"folders in level order",
       L"D:\\R",
       kLevelOrderTree,
       {L"D:\\R\\r.pdf", L"D:\\R\\B\\b.pdf", L"D:\\R\\A\\A1\\x.pdf", L"D:\\R\\A\\A2\\y.pdf"}},
      {"names beginning with a tilde are left out",
       L"D:\\in",
       {{L"~$lock.pdf"}, {L"a.pdf"}, {L"~tmp.PDF"}, {L"b~c.pdf"}, {L"sub\\"}, {L"sub\\~d.pdf"}},
       {L"D:\\in\\a.pdf", L"D:\\in\\b~c.pdf"}},
      {"hidden files are added, hidden and system folders are not",
       L"D:\\in",
       {{L"shy.pdf", kAttributeHidden},
        {L"core.pdf", kAttributeSystem},
        {L"secret\\", kAttributeHidden},
        {L"secret\\s.pdf"},
        {L"secret\\deeper\\"},
        {L"secret\\deeper\\t.pdf"},
        {L"sys\\", kAttributeSystem},
        {L"sys\\u.pdf"}},
       {L"D:\\in\\shy.pdf", L"D:\\in\\core.pdf"}},
      {"no PDF file at any depth",
       L"D:\\in",
       {{L"a.txt"}, {L"sub\\"}, {L"sub\\b.doc"}, {L"sub\\pdf\\"}},
       {}},
      {"a drive root keeps the doubled backslash",
       L"C:\\",
       {{L"a.pdf"}, {L"docs\\"}, {L"docs\\b.pdf"}, {L"docs\\old\\"}, {L"docs\\old\\c.pdf"}},
       {L"C:\\\\a.pdf", L"C:\\\\docs\\b.pdf", L"C:\\\\docs\\old\\c.pdf"}},
      {"thirty files, all of them", L"D:\\in", NumberedPdfFiles(L"sub\\", 30),
       NumberedPdfEntries(L"D:\\in\\sub\\", 30)},
      {"more than a hundred files, all of them", L"D:\\in", NumberedPdfFiles(L"sub\\", 260),
       NumberedPdfEntries(L"D:\\in\\sub\\", 260)},
      {"a failing folder is skipped with its subtree",
       L"D:\\in",
       {{L"a.pdf"},
        Unreadable(L"locked\\"),
        {L"locked\\b.pdf"},
        {L"locked\\deep\\"},
        {L"locked\\deep\\c.pdf"},
        {L"open\\"},
        {L"open\\d.pdf"}},
       {L"D:\\in\\a.pdf", L"D:\\in\\open\\d.pdf"}},
      {"a link back up the tree adds nothing",
       L"D:\\in",
       {{L"a.pdf"}, {L"sub\\"}, ReparsePoint(L"sub\\back\\", L"D:\\in"), {L"sub\\b.pdf"}},
       {L"D:\\in\\a.pdf", L"D:\\in\\sub\\b.pdf"}},
  };
  for (const auto& c : cases) {
    MemoryTree tree(c.root, c.tree);
    EXPECT_EQ(AllPdfFilesInFolder(c.root, tree), c.expected) << c.name;
  }
}

TEST(AllPdfFilesInFolder, FollowsLinksOutOfTheTreeButTakesEachFolderOnce) {
  // Two links in the chosen folder lead to the same folder outside it, which links back.
  MemoryTree tree(L"D:", {{L"in\\"},
                          ReparsePoint(L"in\\first\\", L"D:\\shared"),
                          ReparsePoint(L"in\\second\\", L"D:\\shared"),
                          {L"in\\a.pdf"},
                          {L"shared\\"},
                          {L"shared\\s.pdf"},
                          ReparsePoint(L"shared\\up\\", L"D:\\in")});
  EXPECT_EQ(AllPdfFilesInFolder(L"D:\\in", tree),
            (Paths{L"D:\\in\\a.pdf", L"D:\\in\\first\\s.pdf"}));
}

TEST(AllPdfFilesInFolder, ReadsNoIdentityInATreeWithoutLinks) {
  MemoryTree tree(L"D:\\in", kLevelOrderTree);
  EXPECT_EQ(AllPdfFilesInFolder(L"D:\\in", tree).size(), 4u);
  EXPECT_EQ(tree.IdentityReads(), 0);
}

TEST(AllPdfFilesInFolder, AnUnreadableChosenFolderGivesNothing) {
  MemoryTree tree(L"D:\\", {Unreadable(L"in\\"), {L"in\\a.pdf"}});
  EXPECT_EQ(AllPdfFilesInFolder(L"D:\\in", tree), Paths{});
}

TEST(AllPdfFilesInFolder, NoFolderMeansNoSearch) {
  MemoryTree tree(L"D:\\in", {{L"a.pdf"}});
  EXPECT_EQ(AllPdfFilesInFolder(L"", tree), Paths{});
  EXPECT_EQ(tree.Searches(), 0);
}

TEST(AllPdfFilesInFolder, TheSameFolderAddedTwiceStandsTwiceInTheList) {
  MemoryTree tree(L"D:\\in", {{L"a.pdf"}, {L"sub\\"}, {L"sub\\b.pdf"}});
  MemoryFileList list({L"E:\\first.pdf"});
  list.AppendAll(AllPdfFilesInFolder(L"D:\\in", tree));
  list.AppendAll(AllPdfFilesInFolder(L"D:\\in", tree));
  EXPECT_EQ(list.Entries(), (Paths{L"E:\\first.pdf", L"D:\\in\\a.pdf", L"D:\\in\\sub\\b.pdf",
                                   L"D:\\in\\a.pdf", L"D:\\in\\sub\\b.pdf"}));
}

}  // namespace
}  // namespace folianto

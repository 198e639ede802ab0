#include "filelist/SystemDirectorySearch.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/LinuxFixture.h"
#include "filelist/FolderWalk.h"
#include "support/WinTestSupport.h"

namespace folianto {
namespace {

using testing::FixtureDriveRoot;
using testing::FixtureFolder;
using Paths = std::vector<std::wstring>;

void SetAttributes(const std::wstring& path, DWORD attributes) {
  ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
  // The walk relies on the file system keeping them (Wine stores them in extended attributes).
  ASSERT_EQ(::GetFileAttributesW(path.c_str()) & attributes, attributes);
}

const DirectoryEntry* EntryNamed(const SearchResult& result, const std::wstring& name) {
  const auto found = std::find_if(result.entries.begin(), result.entries.end(),
                                  [&](const DirectoryEntry& entry) { return entry.name == name; });
  return found == result.entries.end() ? nullptr : &*found;
}

// The order in which a plain search of the folder returns the names, told apart from the search
// under test.
Paths NamesInPlainSearchOrder(const std::wstring& folder, const Paths& names) {
  Paths order;
  WIN32_FIND_DATAW data;
  const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return order;
  do {
    if (std::find(names.begin(), names.end(), data.cFileName) != names.end())
      order.push_back(folder + L"\\" + data.cFileName);
  } while (::FindNextFileW(search, &data));
  ::FindClose(search);
  return order;
}

TEST(SystemDirectorySearch, TellsAFailedSearchFromOneWithoutMatches) {
  testing::TempFolder temp;
  const std::wstring file = temp.WriteFile(L"a.pdf");
  temp.MakeFolder(L"empty");
  const struct {
    std::wstring path;
    bool fails;
    size_t entries;
  } cases[] = {
      {temp.Path() + L"\\empty\\*.pdf", false, 0}, {temp.Path() + L"\\*.PDF", false, 1},
      {temp.Path() + L"\\empty\\*", false, 2},  // "." and ".."
      {temp.Path() + L"\\gone\\*", true, 0},       {file + L"\\*", true, 0},
      {temp.Path() + L"\\bad|name\\*", true, 0},
  };
  for (const auto& c : cases) {
    const SearchResult result = SystemDirectorySearch().Find(c.path);
    EXPECT_EQ(result.error != 0, c.fails) << ::testing::PrintToString(c.path);
    EXPECT_EQ(result.entries.size(), c.entries) << ::testing::PrintToString(c.path);
  }
}

TEST(SystemDirectorySearch, GivesTheAttributesTheFileSystemKeeps) {
  testing::TempFolder temp;
  SetAttributes(temp.WriteFile(L"shy.pdf"), FILE_ATTRIBUTE_HIDDEN);
  SetAttributes(temp.MakeFolder(L"secret"), FILE_ATTRIBUTE_HIDDEN);
  SetAttributes(temp.MakeFolder(L"sys"), FILE_ATTRIBUTE_SYSTEM);
  temp.MakeFolder(L"plain");
  const SearchResult result = SystemDirectorySearch().Find(temp.Path() + L"\\*");
  ASSERT_EQ(result.error, 0u);
  const struct {
    std::wstring name;
    uint32_t attributes;
  } cases[] = {
      {L"shy.pdf", kAttributeHidden},
      {L"secret", kAttributeHidden | kAttributeDirectory},
      {L"sys", kAttributeSystem | kAttributeDirectory},
      {L"plain", kAttributeDirectory},
  };
  for (const auto& c : cases) {
    const DirectoryEntry* entry = EntryNamed(result, c.name);
    ASSERT_NE(entry, nullptr) << ::testing::PrintToString(c.name);
    EXPECT_EQ(entry->attributes & (kAttributeHidden | kAttributeSystem | kAttributeDirectory),
              c.attributes)
        << ::testing::PrintToString(c.name);
  }
}

TEST(FolderWalk, AddsThePdfFilesOfARealTree) {
  testing::TempFolder temp;
  const std::wstring& root = temp.Path();
  temp.WriteFile(L"report.pdf");
  temp.WriteFile(L"Summary.PDF");
  temp.WriteFile(L"~$lock.pdf");
  temp.WriteFile(L"notes.txt");
  SetAttributes(temp.WriteFile(L"shy.pdf"), FILE_ATTRIBUTE_HIDDEN);
  temp.WriteFile(L"old\\a.pdf");
  temp.WriteFile(L"secret\\s.pdf");
  temp.WriteFile(L"secret\\deeper\\t.pdf");
  SetAttributes(root + L"\\secret", FILE_ATTRIBUTE_HIDDEN);
  temp.WriteFile(L"sys\\u.pdf");
  SetAttributes(root + L"\\sys", FILE_ATTRIBUTE_SYSTEM);
  temp.WriteFile(L"book.pdf\\inner.pdf");

  Paths expected = NamesInPlainSearchOrder(root, {L"report.pdf", L"Summary.PDF", L"shy.pdf"});
  ASSERT_EQ(expected.size(), 3u);
  for (const std::wstring& folder : NamesInPlainSearchOrder(root, {L"old", L"book.pdf"})) {
    expected.push_back(folder + (folder.ends_with(L"old") ? L"\\a.pdf" : L"\\inner.pdf"));
  }
  EXPECT_EQ(AllPdfFilesInFolder(root, SystemDirectorySearch()), expected);
}

TEST(FolderWalk, SkipsAnUnreadableFolderWithWhatLiesUnderIt) {
  const std::wstring fixture = FixtureFolder();
  ASSERT_FALSE(fixture.empty()) << "no folder fixture";
  const std::wstring root = fixture + L"\\locked";
  const SearchResult shut = SystemDirectorySearch().Find(root + L"\\shut\\*");
  ASSERT_EQ(shut.error, static_cast<uint32_t>(ERROR_ACCESS_DENIED)) << "the folder is readable";
  EXPECT_EQ(AllPdfFilesInFolder(root, SystemDirectorySearch()),
            (Paths{root + L"\\a.pdf", root + L"\\open\\d.pdf"}));
}

TEST(FolderWalk, DoesNotFollowALinkBackIntoTheTree) {
  const std::wstring fixture = FixtureFolder();
  ASSERT_FALSE(fixture.empty()) << "no folder fixture";
  const std::wstring root = fixture + L"\\looped";
  const SearchResult sub = SystemDirectorySearch().Find(root + L"\\sub\\*");
  const DirectoryEntry* back = EntryNamed(sub, L"back");
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->attributes & (kAttributeDirectory | kAttributeReparsePoint),
            kAttributeDirectory | kAttributeReparsePoint);
  EXPECT_EQ(AllPdfFilesInFolder(root, SystemDirectorySearch()),
            (Paths{root + L"\\a.pdf", root + L"\\sub\\b.pdf"}));
}

TEST(FolderWalk, FollowsLinksOutOfTheTreeAndWalksEachFolderOnce) {
  const std::wstring fixture = FixtureFolder();
  ASSERT_FALSE(fixture.empty()) << "no folder fixture";
  const std::wstring root = fixture + L"\\linked\\tree";
  Paths walked = AllPdfFilesInFolder(root, SystemDirectorySearch());
  // Within a level the order is the file system's, so the entries are compared sorted.
  std::sort(walked.begin(), walked.end());
  EXPECT_EQ(walked, (Paths{root + L"\\a.pdf", root + L"\\out\\inner\\i.pdf", root + L"\\out\\o.pdf",
                           root + L"\\sub\\b.pdf"}));
}

TEST(FolderWalk, ADriveRootKeepsTheDoubledBackslash) {
  const std::wstring drive = FixtureDriveRoot();
  ASSERT_FALSE(drive.empty()) << "no fixture drive";
  EXPECT_EQ(AllPdfFilesInFolder(drive, SystemDirectorySearch()),
            (Paths{drive + L"\\a.pdf", drive + L"\\docs\\b.pdf"}));
}

}  // namespace
}  // namespace folianto

#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <utility>

#include "platform/CodePage.h"
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

// What the join makes where the tool cannot read a name: a folder of its own with a hard link
// beside the file, a copy on another volume, and its output moved into place from there.
TEST(FileSystem, MakesLinksCopiesAndMovesAcrossVolumes) {
  const std::wstring other = testing::OtherVolumeRoot();
  ASSERT_FALSE(other.empty()) << "no Linux fixture";
  testing::TempFolder temp;
  const std::wstring input = temp.WriteFile(L"\u03a3.pdf", "input");
  const std::wstring own = MakeTemporaryFolderIn(temp.Path());
  ASSERT_TRUE(IsFolder(own) && SurvivesAnsiCodePage(own)) << ::testing::PrintToString(own);
  EXPECT_TRUE(MakeHardLink(own + L"\\A.pdf", input));
  EXPECT_EQ(testing::ReadFileBytes(own + L"\\A.pdf"), "input");
  EXPECT_FALSE(MakeHardLink(other + L"A.pdf", input)) << "a link to another volume";
  EXPECT_TRUE(CopyToNewFile(input, other + L"A.pdf"));
  EXPECT_FALSE(CopyToNewFile(input, other + L"A.pdf")) << "over a file";

  const std::wstring output = temp.WriteFile(L"\u03a9.pdf", "an older file");
  EXPECT_TRUE(MoveReplacing(other + L"A.pdf", output));
  EXPECT_EQ(testing::ReadFileBytes(output), "input");
  EXPECT_FALSE(FileExists(other + L"A.pdf"));
  EXPECT_FALSE(MoveReplacing(other + L"A.pdf", output)) << "from nothing";
  EXPECT_EQ(testing::ReadFileBytes(output), "input");
  EXPECT_TRUE(MoveReplacing(own + L"\\A.pdf", output)) << "on one volume";
  RemoveFolder(own);
  EXPECT_FALSE(FileExists(own));
}

// Each name goes however read-only the file is, and the user's original keeps its attributes.
TEST(FileSystem, RemovesLinksAndCopiesOfAReadOnlyFileAndLeavesTheOriginalAsItWas) {
  testing::TempFolder temp;
  const std::wstring original = temp.WriteFile(L"\u03a3.pdf", "input");
  ASSERT_TRUE(::SetFileAttributesW(original.c_str(), FILE_ATTRIBUTE_READONLY));
  const DWORD attributes = ::GetFileAttributesW(original.c_str());
  const std::wstring own = MakeTemporaryFolderIn(temp.Path());
  ASSERT_TRUE(MakeHardLink(own + L"\\A.pdf", original));
  ASSERT_TRUE(CopyToNewFile(original, own + L"\\B.pdf"));
  ASSERT_NE(::GetFileAttributesW((own + L"\\A.pdf").c_str()) & FILE_ATTRIBUTE_READONLY, 0u)
      << "a link shares the original's attributes";
  for (const wchar_t* name : {L"\\A.pdf", L"\\B.pdf"}) {
    EXPECT_TRUE(RemoveFile(own + name));
    EXPECT_FALSE(FileExists(own + name));
  }
  EXPECT_TRUE(RemoveFolder(own));
  EXPECT_EQ(::GetFileAttributesW(original.c_str()), attributes);
  EXPECT_EQ(testing::ReadFileBytes(original), "input");
  EXPECT_TRUE(RemoveFile(own + L"\\A.pdf")) << "nothing is left";
}

HANDLE g_source = nullptr;
int g_parts = 0;

// The copy's source is a pipe that only a timer of this thread feeds, so the copy goes on only
// while messages run; after three parts it breaks off, as a stick pulled out would.
TEST(CopyToNewFile, LetsTheWindowRunAndLeavesNothingWhenCutShort) {
  testing::TempFolder temp;
  const std::wstring source =
      L"\\\\.\\pipe\\folianto-copy-" + std::to_wstring(::GetCurrentProcessId());
  g_source = ::CreateNamedPipeW(source.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096, 4096,
                                0, nullptr);
  ASSERT_NE(g_source, INVALID_HANDLE_VALUE);
  g_parts = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
    DWORD written = 0;
    if (g_parts < 3 && ::WriteFile(g_source, "part", 4, &written, nullptr)) ++g_parts;
    if (g_parts == 3 && g_source) ::CloseHandle(std::exchange(g_source, nullptr));
  });
  const std::wstring copy = temp.Path() + L"\\copy.pdf";
  EXPECT_FALSE(CopyToNewFile(source, copy));
  ::KillTimer(nullptr, timer);
  if (g_source) ::CloseHandle(g_source);
  EXPECT_EQ(g_parts, 3) << "the timer fed the copy while it ran";
  EXPECT_FALSE(FileExists(copy)) << "what was copied is removed";
}

}  // namespace
}  // namespace folianto

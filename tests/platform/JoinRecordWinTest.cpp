#include "platform/JoinRecord.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/FileSystem.h"
#include "support/WinTestSupport.h"

namespace folianto {
namespace {

// A later start removes what a join made once neither its program nor its tool runs: the folder
// of links, a link to a read-only original (which keeps its data and its flag), a temporary
// output. Never a file the join did not make, even when its record names it.
TEST(JoinRecord, WhatAJoinMadeGoesAtALaterStartOnceItsProgramAndToolHaveEnded) {
  const struct {
    const char* name;
    bool programRuns;
    bool toolRuns;
  } cases[] = {
      {"program and tool ended", false, false},
      {"the program runs", true, false},
      {"its tool runs", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder folder;
    const std::wstring original = folder.WriteFile(L"\u03a3\u03cd\u03bd\u03bf\u03c8\u03b7.pdf");
    ASSERT_TRUE(::SetFileAttributesW(original.c_str(), FILE_ATTRIBUTE_READONLY));
    const DWORD attributes = ::GetFileAttributesW(original.c_str());
    const std::wstring own = folder.MakeFolder(L"folianto-abcdefgh");
    const std::wstring link = own + L"\\A.pdf";
    const std::wstring temporary = folder.WriteFile(L"folianto-qwertyui.tmp");
    const std::wstring users = folder.WriteFile(L"notes.pdf");
    // What the tool wrote in the join's folder is named by no record.
    const std::wstring written = folder.WriteFile(L"folianto-abcdefgh\\B.pdf");
    auto record = std::make_unique<JoinRecord>();
    for (const std::wstring& path : {own, link, temporary, users})
      record->Made(path);
    ASSERT_TRUE(::CreateHardLinkW(link.c_str(), original.c_str(), nullptr));
    // This test's own process stands in for a tool that still runs.
    if (c.toolRuns) record->ToolStarted(::GetCurrentProcess());
    // A program that ends without its join's end leaves the record behind, no longer held.
    if (!c.programRuns) {
      record->KeepForLater();
      record.reset();
    }

    RemoveWhatEndedJoinsLeft();
    const bool removed = !c.programRuns && !c.toolRuns;
    EXPECT_EQ(FileExists(own), !removed);
    EXPECT_EQ(FileExists(link), !removed);
    EXPECT_EQ(FileExists(temporary), !removed);
    EXPECT_EQ(FileExists(written), !removed);
    EXPECT_TRUE(FileExists(users));
    EXPECT_EQ(testing::ReadFileBytes(original), "%PDF-1.4\n");
    EXPECT_EQ(::GetFileAttributesW(original.c_str()), attributes);
    ::SetFileAttributesW(original.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

}  // namespace
}  // namespace folianto

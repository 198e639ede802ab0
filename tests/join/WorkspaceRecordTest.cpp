#include "join/WorkspaceRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace folianto {
namespace {

const MadeItem kFolder{true, {0x5A, 0xA72E15, 0}, L"D:\\out\\folianto-abcdefgh"};
const MadeItem kFile{false, {0x5A, 7, 1}, L"D:\\out\\folianto-abcdefgh\\\u03a3.pdf"};
const StartedTool kTool{4242, 133000000000000000ull};

// A record is read back as it was written, line by line, and a line cut short or not of a record
// is passed over.
TEST(WorkspaceRecord, ReadsBackWhatItsLinesTell) {
  const std::string folder = RecordLine(kFolder), file = RecordLine(kFile);
  const struct {
    const char* name;
    std::string text;
    std::vector<MadeItem> made;
    std::vector<StartedTool> tools;
    std::vector<std::wstring> kept = {};
  } cases[] = {
      {"what was made, in order, and a tool",
       folder + file + RecordLine(kTool),
       {kFolder, kFile},
       {kTool}},
      {"a thing handed over is forgotten and kept",
       folder + file + ForgetLine(kFile.path),
       {kFolder},
       {},
       {kFile.path}},
      {"a thing made anew in its place has its new identity",
       file + RecordLine(MadeItem{false, {0x5A, 8, 1}, kFile.path}),
       {MadeItem{false, {0x5A, 8, 1}, kFile.path}},
       {}},
      {"a last line cut short", folder + file.substr(0, file.size() - 1), {kFolder}, {}},
      {"lines of no record", "made D:\\x\nfile 1 2 D:\\x\nfile 1 2 3 \ntool 1\ntool x 2\n", {}, {}},
      {"a path that is not UTF-8", "file 1 2 3 D:\\\xff.pdf\n" + folder, {kFolder}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const RecordContent content = ReadRecord(c.text);
    EXPECT_EQ(content.made, c.made);
    EXPECT_EQ(content.tools, c.tools);
    EXPECT_EQ(content.kept, c.kept);
  }
}

TEST(WorkspaceRecord, MadeNamesArePlainAndNew) {
  const std::wstring file = MadeName(true), folder = MadeName(false);
  EXPECT_TRUE(file.starts_with(L"folianto-") && file.ends_with(L".tmp") && file.size() == 21);
  EXPECT_EQ(folder.size(), 17u);
  EXPECT_NE(MadeName(false), folder);
}

}  // namespace
}  // namespace folianto

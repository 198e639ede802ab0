#include "join/JoinSteps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "filelist/MemoryFileList.h"
#include "join/ScriptedJoinHost.h"

namespace folianto {
namespace {

using testing::kFolder;
using testing::Log;
using testing::ScriptedHost;

const std::wstring kTool = LR"("C:\Tools\pdftk.exe" )";

bool Has(const std::wstring& text, const std::wstring& part) {
  return text.find(part) != std::wstring::npos;
}

long Count(const Log& log, const std::wstring& start) {
  return std::count_if(log.begin(), log.end(), [&](auto& line) { return line.starts_with(start); });
}

// As the Western code page, the scripted host's by default: every character beyond Latin-1 is lost.
bool InWesternCodePage(const std::wstring& text) {
  return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c <= 0xFF; });
}

// What the box says of a password with letters the tool cannot read, where it reads those letters.
std::wstring Unreadable(const std::wstring& letters) {
  return L"The password has letters that pdftk.exe cannot read on this system, where it reads "
         L"only " +
         letters +
         L", digits and common signs. If the password is typed right, save the file "
         L"without a password in another program and join that copy.";
}

TEST(JoinSteps, ABookmarkForEachFileJoinsReadsTheOutlineAndWritesItAndLeavesNothing) {
  // The joined file goes to a temporary file beside the output; what the steps read back lies in
  // the join's private folder.
  const std::wstring join = kTool +
                            LR"(A="D:\in\one.pdf" B="D:\in\two.pdf" cat A B )"
                            LR"(output "C:\Temp\fol1b\FOL2A.tmp" verbose)";
  const std::wstring dump = kTool + LR"(A="C:\Temp\fol1b\FOL2A.tmp" dump_data_utf8)";
  const std::wstring update =
      kTool +
      LR"(A="C:\Temp\fol1b\FOL2A.tmp" update_info "C:\Temp\fol1b\FOL3A.tmp" )"
      LR"(output "D:\out\FOL1A.tmp")";
  for (const std::wstring& failing : {std::wstring(), join, dump, update}) {
    SCOPED_TRACE(::testing::PrintToString(failing));
    ScriptedHost host;
    host.saveAnswer = L"D:\\out\\all.pdf";
    host.tool = [&](const std::wstring& line, const std::wstring&) -> ToolRun {
      if (line == failing) return {ExitedWith(1), L"", L"Error: the tool's words"};
      if (line == join) return {ExitedWith(0), L"   Adding page 1 X\n   Adding page 1 X\n"};
      return {ExitedWith(0),
              L"BookmarkBegin\nBookmarkTitle: Own\nBookmarkLevel: 1\n"
              L"BookmarkPageNumber: 2\n"};
    };
    MemoryFileList list({L"D:\\in\\one.pdf", L"D:\\in\\two.pdf"});
    CommonDialog dialog;
    dialog.checkBoxTicked = true;  // ticked in the join before
    RunJoinCommand(host, list, dialog, kFolder);

    EXPECT_EQ(host.shown.at(0).checkBoxLabel, L"Add a bookmark for each file");
    const Log all = {join, dump, update};
    const auto ran = std::find(all.begin(), all.end(), failing);
    EXPECT_EQ(host.Runs(), Log(all.begin(), ran == all.end() ? ran : ran + 1));
    EXPECT_EQ(host.Messages(), Log{failing.empty() ? L"Join successful."
                                                   : L"The join failed: pdftk.exe ended with "
                                                     L"exit code 1.\n\nError: the tool's words"});
    // The outline was written for update_info to read, and what the join made for itself is gone.
    EXPECT_EQ(Count(host.log, L"write C:\\Temp\\fol1b\\FOL3A.tmp: BookmarkBegin"),
              failing.empty() || failing == update ? 1 : 0);
    EXPECT_EQ(Count(host.log, L"remove ") + Count(host.log, L"replace "), Count(host.log, L"make "))
        << "each thing made goes, or becomes the output";
    EXPECT_EQ(Count(host.log, L"replace D:\\out\\all.pdf with D:\\out\\FOL1A.tmp"),
              failing.empty() ? 1 : 0);
  }
}

TEST(JoinSteps, AsksForEachPasswordTheJoinNeedsInListOrderAndHandsItOnlyToStandardInput) {
  const std::wstring ask = L": This file needs a password to open. Type its password:";
  const std::wstring wrong = L": That password is wrong. Type the password that opens this file:";
  // two.pdf opens with "right", three.pdf with "third"; the tool says so of each it cannot open.
  const std::map<std::wstring, std::wstring> locked = {{L"D:\\in\\two.pdf", L"right"},
                                                       {L"D:\\in\\three.pdf", L"third"}};
  const std::wstring refused =
      L"Error: Failed to open input PDF file:\n   OWNER OR USER PASSWORD "
      L"REQUIRED, but not given\n";
  const struct {
    const char* name;
    std::vector<std::wstring> list;
    std::vector<std::optional<std::wstring>> answers;
    bool closed;
    bool namesOnlyTheFirst;  // the tool stops at the first input it cannot open
    Log asked;
    Log inputs;  // what the tool read on its standard input, run by run
    Log messages;
    unsigned codePage = 1252;  // the system's, which the box names by its script
  } cases[] = {
      {"a wrong one asks again",
       {L"D:\\in\\one.pdf", L"D:\\in\\two.pdf"},
       {L"wrong", L"right"},
       false,
       false,
       {L"ask D:\\in\\two.pdf" + ask, L"ask D:\\in\\two.pdf" + wrong},
       {L"wrong\n", L"right\n"},
       {L"Join successful."}},
      {"one the tool cannot read is said, never handed to it, and asked again",
       {L"D:\\in\\two.pdf"},
       {L"\u0141\u00f3d\u017a", L"right"},
       false,
       false,
       {L"ask D:\\in\\two.pdf" + ask,
        L"ask D:\\in\\two.pdf: " + Unreadable(L"Western European (Latin) letters")},
       {L"right\n"},
       {L"Join successful."}},
      {"on a system of another script, that script is named",
       {L"D:\\in\\two.pdf"},
       {L"\u65e5\u672c", L"right"},
       false,
       false,
       {L"ask D:\\in\\two.pdf" + ask,
        L"ask D:\\in\\two.pdf: " + Unreadable(L"Cyrillic and basic Latin (A to Z) letters")},
       {L"right\n"},
       {L"Join successful."},
       1251},
      {"several, one by one in list order, a file listed twice asked once",
       {L"D:\\in\\three.pdf", L"D:\\in\\one.pdf", L"D:\\in\\two.pdf", L"D:\\in\\three.pdf"},
       {L"third", L"right"},
       false,
       false,
       {L"ask D:\\in\\three.pdf" + ask, L"ask D:\\in\\two.pdf" + ask},
       {L"third\n", L"right\n"},
       {L"Join successful."}},
      {"a tool that names one at a time still gets each asked for, once, in list order",
       {L"D:\\in\\two.pdf", L"D:\\in\\one.pdf", L"D:\\in\\three.pdf", L"D:\\in\\two.pdf"},
       {L"right", L"third"},
       false,
       true,
       {L"ask D:\\in\\two.pdf" + ask, L"ask D:\\in\\three.pdf" + ask},
       {L"right\n", L"third\n"},
       {L"Join successful."}},
      {"Cancel joins nothing and says nothing",
       {L"D:\\in\\two.pdf"},
       {std::nullopt},
       false,
       false,
       {L"ask D:\\in\\two.pdf" + ask},
       {},
       {}},
      {"after the close nothing is asked",
       {L"D:\\in\\two.pdf"},
       {},
       true,
       false,
       {},
       {},
       {L"The file D:\\in\\two.pdf needs a password to open, which cannot be asked for once the "
        L"window has been closed. Nothing was joined."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedHost host;
    host.survives = InWesternCodePage;
    host.codePage = c.codePage;
    host.saveAnswer = L"D:\\out\\all.pdf";
    host.passwords = c.answers;
    host.canAsk = !c.closed;
    host.tool = [&](const std::wstring& line, const std::wstring& input) -> ToolRun {
      std::wstring words;
      for (const auto& [path, password] : locked) {
        for (size_t at = line.find(L"\"" + path + L"\""); at != std::wstring::npos;
             at = line.find(L"\"" + path + L"\"", at + 1)) {
          if (input != password + L"\n" && !(c.namesOnlyTheFirst && !words.empty()))
            words += refused;
        }
      }
      return {ExitedWith(words.empty() ? 0 : 1), L"", words};
    };
    MemoryFileList list(c.list);
    CommonDialog dialog;
    RunJoinCommand(host, list, dialog, kFolder);

    Log asked, inputs, lookedAt;
    for (const std::wstring& line : host.log) {
      if (line.starts_with(L"ask")) asked.push_back(line);
      if (line.starts_with(L"input ")) inputs.push_back(line.substr(6));
      if (line.ends_with(L" dump_data_utf8")) lookedAt.push_back(line);
    }
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(inputs, c.inputs);
    EXPECT_EQ(host.Messages(), c.messages);
    for (const auto& answer : c.answers) {
      if (!answer) continue;
      for (const std::wstring& run : host.Runs())
        EXPECT_FALSE(Has(run, *answer)) << "a password on the command line: " << run.size();
    }
    std::sort(lookedAt.begin(), lookedAt.end());
    EXPECT_EQ(std::adjacent_find(lookedAt.begin(), lookedAt.end()), lookedAt.end())
        << "an input looked at twice for a password";
    const bool joined = c.messages == Log{L"Join successful."};
    EXPECT_EQ(Has(host.Runs().back(), L" output \"D:\\out\\FOL1A.tmp\""), joined);
    // What was opened with a password lies in the private folder alone, and goes with it.
    for (const std::wstring& run : host.Runs()) {
      if (Has(run, L"input_pw")) {
        EXPECT_TRUE(Has(run, L" output \"C:\\Temp\\fol1b\\")) << run.size();
      }
    }
    EXPECT_EQ(Count(host.log, L"make folder"), Count(host.log, L"remove folder C:\\Temp\\fol1b"));
  }
}

// A look at an input for a password whose end is not known (the wait given up, or the end not
// learned) ends the join there: nothing more runs, and nothing the tool may still use is removed.
TEST(JoinSteps, ALookForAPasswordWhoseEndIsUnknownEndsTheJoinAndRemovesNothing) {
  for (const RunResult& unknown : {GivenUp(true), EndUnknown(6)}) {
    SCOPED_TRACE(unknown.givenUp);
    ScriptedHost host;
    host.saveAnswer = L"D:\\out\\all.pdf";
    host.passwords = {L"right"};
    host.tool = [&](const std::wstring& line, const std::wstring&) -> ToolRun {
      if (line.ends_with(L" dump_data_utf8")) return {unknown, L""};
      return {ExitedWith(1), L"", L"Error: OWNER OR USER PASSWORD REQUIRED, but not given\n"};
    };
    MemoryFileList list({L"D:\\in\\one.pdf", L"D:\\in\\two.pdf"});
    CommonDialog dialog;
    RunJoinCommand(host, list, dialog, kFolder);
    EXPECT_EQ(host.Runs().size(), 2u) << "the join and the look";
    EXPECT_EQ(Count(host.log, L"ask "), 0);
    EXPECT_EQ(Count(host.log, L"remove "), 0);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_TRUE(Has(host.Messages()[0], L"stays until Folianto next starts"))
        << host.Messages()[0].size();
  }
}

// Without a folder of its own that only this user can read, a join that must open a file with its
// password says so, naming a folder others can read, and has the tool tell nothing of the file.
TEST(JoinSteps, WithoutAPrivateFolderNothingIsOpenedWithAPassword) {
  const struct {
    const char* name;
    bool noFolder;
    std::wstring message;
  } cases[] = {
      {"no folder", true,
       L"Folianto could not make a folder of the join's own in the temporary folder, where only "
       L"you can read what it makes of the files. Nothing was joined."},
      {"one others can read", false,
       L"Nothing was joined: other users of this computer could read what the join would make of "
       L"your files in its folder C:\\Temp\\fol1b, since the drive keeps no access lists."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedHost host;
    host.saveAnswer = L"D:\\out\\all.pdf";
    host.passwords = {L"right"};
    host.privateFolderFails = c.noFolder;
    host.folderReadableByOthers = !c.noFolder;
    host.tool = [](const std::wstring&, const std::wstring& input) -> ToolRun {
      if (input == L"right\n") return {ExitedWith(0), L"", L""};
      return {ExitedWith(1), L"", L"Error: OWNER OR USER PASSWORD REQUIRED, but not given\n"};
    };
    MemoryFileList list({L"D:\\in\\one.pdf"});
    CommonDialog dialog;
    RunJoinCommand(host, list, dialog, kFolder);
    EXPECT_EQ(host.Messages(), Log{c.message});
    EXPECT_EQ(host.Runs().size(), 1u) << "the join alone runs";
    EXPECT_EQ(Count(host.log, L"remove "), Count(host.log, L"make "));
  }
}

}  // namespace
}  // namespace folianto

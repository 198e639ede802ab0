#include "join/JoinCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <utility>
#include <vector>

#include "filelist/MemoryFileList.h"
#include "join/JoinCommandLine.h"
#include "join/ScriptedJoinHost.h"

namespace folianto {
namespace {

using testing::kFolder;
using testing::Log;
using testing::ScriptedHost;

MemoryFileList ListOf(int count, const std::wstring& ending = L".pdf") {
  MemoryFileList list;
  for (int i = 1; i <= count; ++i)
    list.Append(L"D:\\in\\" + std::to_wstring(i) + ending);
  return list;
}

TEST(JoinCommand, JoinsTheListInTheOrderOfItsSteps) {
  ScriptedHost host;
  host.saveAnswer = L"D:\\out\\all.pdf";
  MemoryFileList list({L"D:\\in\\one.pdf", L"D:\\in\\two.pdf", L"D:\\in\\three.pdf"});
  CommonDialog dialog;
  dialog.fileName = L"left over";
  RunJoinCommand(host, list, dialog, kFolder);
  EXPECT_EQ(host.log, (Log{
                          L"save Save Join File As []",
                          L"progress 33",
                          L"progress 67",
                          L"progress 100",
                          L"make temporary in D:\\out",
                          LR"(run "C:\Tools\pdftk.exe" A="D:\in\one.pdf" B="D:\in\two.pdf" )"
                          LR"(C="D:\in\three.pdf" cat A B C output "D:\out\FOL1A.tmp")",
                          L"replace D:\\out\\all.pdf with D:\\out\\FOL1A.tmp",
                          L"message Join successful.",
                      }));
  EXPECT_EQ(list.Count(), 3);
}

TEST(JoinCommand, RunsNothingWhenCancelledOrTheListIsEmptyOrTooLong) {
  const struct {
    const char* name;
    int entries;
    const wchar_t* output;
    Log messages;
  } cases[] = {
      {"cancelled with entries: silent", 3, L"", {}},
      {"empty list", 0, L"D:\\all.pdf", {L"No PDF files added."}},
      {"empty list, cancelled", 0, L"", {L"No PDF files added."}},
      {"26 entries", 26, L"D:\\all.pdf", {L"You can only join 25 files at a time."}},
      {"26 entries, cancelled: silent", 26, L"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedHost host;
    host.saveAnswer = c.output;
    MemoryFileList list = ListOf(c.entries);
    CommonDialog dialog;
    RunJoinCommand(host, list, dialog, kFolder);
    EXPECT_EQ(host.Messages(), c.messages);
    EXPECT_TRUE(host.Runs().empty());
    EXPECT_EQ(list.Count(), c.entries);
  }
}

TEST(JoinCommand, AFailingSaveDialogIsReportedWithItsCodeAndNothingRuns) {
  for (const int entries : {0, 2}) {
    SCOPED_TRACE(entries);
    ScriptedHost host;
    host.saveError = 0x3002;
    MemoryFileList list = ListOf(entries);
    CommonDialog dialog;
    RunJoinCommand(host, list, dialog, kFolder);
    EXPECT_EQ(host.Messages(),
              Log{L"The save dialog failed (dialog error 0x3002). Nothing was joined."});
    EXPECT_TRUE(host.Runs().empty());
  }
}

TEST(JoinCommand, TellsOfEachNonPdfEntryAndJoinsTheOthersWithoutItsLetter) {
  ScriptedHost host;
  host.saveAnswer = L"D:\\all.pdf";
  MemoryFileList list({L"D:\\a.pdf", L"D:\\notes.txt", L"D:\\c.pdf", L"D:\\d.doc"});
  CommonDialog dialog;
  RunJoinCommand(host, list, dialog, kFolder);
  EXPECT_EQ(host.Messages(),
            (Log{L"This file D:\\notes.txt does not appear to be PDF.",
                 L"This file D:\\d.doc does not appear to be PDF.", L"Join successful."}));
  EXPECT_EQ(host.Runs(), Log{LR"("C:\Tools\pdftk.exe" A="D:\a.pdf" C="D:\c.pdf" )"
                             LR"(cat A C output "D:\FOL1A.tmp")"});
  // Each message comes while the bar shows the entry it is about.
  const auto at = [&](const std::wstring& line) {
    return std::find(host.log.begin(), host.log.end(), line) - host.log.begin();
  };
  EXPECT_EQ(at(L"message This file D:\\notes.txt does not appear to be PDF."),
            at(L"progress 50") + 1);
  EXPECT_EQ(at(L"message This file D:\\d.doc does not appear to be PDF."), at(L"progress 100") + 1);
}

TEST(JoinCommand, RunsNothingWhenNoEntryIsPdf) {
  ScriptedHost host;
  host.saveAnswer = L"D:\\all.pdf";
  MemoryFileList list({L"D:\\a.txt"});
  CommonDialog dialog;
  RunJoinCommand(host, list, dialog, kFolder);
  EXPECT_TRUE(host.Runs().empty());
  EXPECT_EQ(host.Messages(),
            (Log{L"This file D:\\a.txt does not appear to be PDF.", L"No PDF files added."}));
}

TEST(JoinCommand, RefusesACommandLineTheSystemCouldNotStart) {
  // The longest line the system starts has 32,766 characters before its closing NUL.
  // The tool writes the temporary file beside the output.
  const size_t withShortPath =
      BuildJoinCommandLine(kFolder, std::vector<std::wstring>{L"x.pdf"}, L"D:\\FOL1A.tmp").size();
  for (const size_t length : {size_t{32766}, size_t{32767}, size_t{40000}}) {
    SCOPED_TRACE(length);
    ScriptedHost host;
    host.saveAnswer = L"D:\\all.pdf";
    MemoryFileList list({std::wstring(length - withShortPath, L'x') + L"x.pdf"});
    CommonDialog dialog;
    RunJoinCommand(host, list, dialog, kFolder);
    if (length < 32767) {
      ASSERT_EQ(host.Runs().size(), 1u);
      EXPECT_EQ(host.Runs()[0].size(), length);
    } else {
      EXPECT_TRUE(host.Runs().empty());
      EXPECT_EQ(host.Messages(), Log{L"The file paths are too long to join in one go."});
    }
  }
}

TEST(JoinCommand, UsesTheListAsItWasAtTheClick) {
  ScriptedHost host;
  host.saveAnswer = L"D:\\all.pdf";
  MemoryFileList list({L"D:\\a.txt", L"D:\\b.pdf", L"D:\\c.pdf"});
  // While the first message is open, another handler empties the list.
  host.onMessage = [&] {
    while (list.Count() > 0)
      list.Remove(1);
  };
  CommonDialog dialog;
  RunJoinCommand(host, list, dialog, kFolder);
  EXPECT_EQ(host.Runs(), Log{LR"("C:\Tools\pdftk.exe" B="D:\b.pdf" C="D:\c.pdf" )"
                             LR"(cat B C output "D:\FOL1A.tmp")"});
}

TEST(JoinCommand, RefusesANestedJoinThatWritesOrReadsWhatTheRunningJoinWrites) {
  const std::wstring in = L"D:\\in\\one.pdf", out = L"D:\\out\\all.pdf", other = L"D:\\other.pdf";
  // Other names of the running join's output: its short name and a hard link.
  const std::wstring shortName = L"D:\\OUT~1\\all.pdf", link = L"D:\\link.pdf";
  const struct {
    const char* name;
    std::vector<std::wstring> entries;
    std::wstring output;
    std::wstring inUse;  // the file the refusal names; empty: the nested join runs
  } cases[] = {
      {"into the output it writes", {L"D:\\two.pdf"}, out, out},
      {"into it by its short name", {L"D:\\two.pdf"}, shortName, shortName},
      {"into an input it reads", {L"D:\\two.pdf"}, in, in},
      {"from the output it writes", {L"D:\\two.pdf", out}, other, out},
      {"from a hard link to it", {link}, other, link},
      {"from an input it reads too", {in}, other, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedHost host;
    host.sameFiles = {{shortName, out}, {out, link}};
    host.saveAnswer = out;
    MemoryFileList list({in});
    MemoryFileList nestedList(c.entries);
    CommonDialog dialog;
    // The nested join is another join of the same record.
    std::optional<ScriptedHost> nested(std::in_place);
    nested->record = &host.ownRecord;
    nested->saveAnswer = c.output;
    host.whileRunning = [&] {
      RunJoinCommand(*nested, nestedList, dialog, kFolder);
      const std::wstring refusal =
          L"The file " + c.inUse +
          L" is in use by a join that is still running. Nothing was joined.";
      EXPECT_EQ(nested->Messages(), Log{c.inUse.empty() ? L"Join successful." : refusal});
      EXPECT_EQ(nested->Runs().size(), c.inUse.empty() ? 1u : 0u);
      nested.reset();
    };
    RunJoinCommand(host, list, dialog, kFolder);
    EXPECT_EQ(host.Messages(), Log{L"Join successful."});
    host.join.reset();
    EXPECT_EQ(host.claims.Marks(), 0u) << "the joins that ended hold nothing";
  }
}

TEST(JoinCommand, ReportsHowTheToolsRunEnded) {
  const std::wstring notFound =
      L"pdftk.exe was not found in C:\\Tools.\n\nPut pdftk.exe, and the files that came with it, "
      L"into that folder.";
  const struct {
    const char* name;
    ToolRun run;
    std::wstring message;
  } cases[] = {
      {"success", {ExitedWith(0), L"ignored", L"ignored"}, L"Join successful."},
      {"missing", {StartFailedWith(2), L""}, notFound},
      {"missing folder", {StartFailedWith(3), L""}, notFound},
      {"bad name", {StartFailedWith(123), L""}, notFound},
      {"access denied",
       {StartFailedWith(5), L""},
       L"pdftk.exe could not be started (error 70, system error 5: The words for 5.)."},
      {"other",
       {StartFailedWith(193), L""},
       L"pdftk.exe could not be started (error 5, system error 193: pdftk.exe is not a valid "
       L"Win32 application.)."},
      // What the tool may still write is left as it is.
      {"the wait failed: Folianto's failure, whatever the tool did",
       {EndUnknown(6), L""},
       L"Folianto could not learn how pdftk.exe ended (system error 6: The words for 6.). "
       L"pdftk.exe may still be running.\n\nWhat Folianto made for pdftk.exe stays until "
       L"Folianto next starts after pdftk.exe has ended, which removes it:\nD:\\FOL1A.tmp"},
      {"failed, silent",
       {ExitedWith(3), L""},
       L"The join failed: pdftk.exe ended with exit code 3."},
      {"failed, only line breaks",
       {ExitedWith(3), L"\r\n", L"\r\n\r\n"},
       L"The join failed: pdftk.exe ended with exit code 3."},
      {"failed with its messages, not what it wrote on its output",
       {ExitedWith(1), L"Creating Output ...\r\n", L"Error: Unable to find file.\r\nDone.\r\n"},
       L"The join failed: pdftk.exe ended with exit code 1.\n\nError: Unable to find "
       L"file.\r\nDone."},
      {"exit code 259 is an exit code",
       {ExitedWith(259), L""},
       L"The join failed: pdftk.exe ended with exit code 259."},
      {"a DLL missing beside the tool",
       {ExitedWith(0xC0000135), L""},
       L"The join failed: pdftk.exe could not start: a DLL it needs was not found (0xC0000135). "
       L"The DLL files that come with pdftk.exe must stand beside it in C:\\Tools."},
      {"a crash with no message, after some words on its output",
       {ExitedWith(0xC00000FD), L"Reading in.pdf\r\n", L"\r\n"},
       L"The join failed: pdftk.exe crashed (stack overflow, 0xC00000FD).\n\nReading in.pdf"},
      {"another Windows status in its hex form",
       {ExitedWith(0xC0000022), L""},
       L"The join failed: pdftk.exe ended with the Windows status 0xC0000022."},
      {"a status of another facility",
       {ExitedWith(0xC0020001), L""},
       L"The join failed: pdftk.exe ended with the Windows status 0xC0020001."},
      {"exit(-1) is said as the number it is",
       {ExitedWith(0xFFFFFFFF), L""},
       L"The join failed: pdftk.exe ended with exit code -1."},
      {"the reserved bit set is no status",
       {ExitedWith(0xD0000000), L""},
       L"The join failed: pdftk.exe ended with exit code -805306368."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedHost host;
    host.saveAnswer = L"D:\\all.pdf";
    host.toolRun = c.run;
    MemoryFileList list = ListOf(1);
    CommonDialog dialog;
    RunJoinCommand(host, list, dialog, kFolder);
    EXPECT_EQ(host.Messages(), Log{c.message});
  }
}

TEST(JoinCommand, ShowsOnlyTheLast2000CharactersOfTheToolsText) {
  const std::wstring tail(2000, L'b');
  const std::wstring message = JoinOutcomeMessage(
      {ExitedWith(1), L"", std::wstring(5000, L'a') + tail + L"\n"}, kFolder, L"");
  EXPECT_EQ(message, L"The join failed: pdftk.exe ended with exit code 1.\n\n" + tail);

  // A cut between the halves of a surrogate pair drops the orphaned half.
  const std::wstring pair{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  const std::wstring text = pair + std::wstring(1999, L'c');
  const std::wstring shown = JoinOutcomeMessage({ExitedWith(1), L"", text}, kFolder, L"");
  EXPECT_TRUE(shown.ends_with(L"\n\n" + std::wstring(1999, L'c'))) << "no lone low surrogate";
}

}  // namespace
}  // namespace folianto

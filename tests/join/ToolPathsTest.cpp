#include "join/ToolPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "filelist/MemoryFileList.h"
#include "join/ScriptedJoinHost.h"

namespace folianto {
namespace {

using testing::Log;
using testing::ScriptedHost;

// The Western code page, as Wine under a UTF-8 locale has it: accented Latin letters survive,
// Greek does not.
bool InWesternCodePage(const std::wstring& text) {
  return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c <= 0xFF; });
}

const std::wstring kGreekFolder = L"D:\\\u03a3\u03c7\u03ad\u03b4\u03b9\u03b1";
const std::wstring kGreek = kGreekFolder + L"\\a.pdf";
const std::wstring kCafe = L"D:\\caf\u00e9.pdf";
const std::wstring kSynopsis = L"D:\\\u03a3\u03cd\u03bd\u03bf\u03c8\u03b7.xpdf";
const std::wstring kGreekOutput = L"D:\\out\\\u03a3\u03cd\u03bd\u03bf\u03bb\u03bf.pdf";
const std::wstring kTemporary = L"D:\\out\\FOL1A.tmp";
const std::wstring kMakeTemporary = L"make temporary in D:\\out";
// The join's own folder, and a stand-in for kGreek in it.
const std::wstring kOwn = L"C:\\Temp\\fol1b";
const std::wstring kStandIn = kOwn + L"\\1.pdf";
const Log kStandInMade = {L"make folder in C:\\Temp", L"stand-in " + kStandIn + L" for " + kGreek};

std::wstring CannotPass(const std::wstring& path, const std::wstring& why) {
  return L"The name " + path + L" cannot be passed to pdftk.exe: " + why +
         L" Rename it, or move it to a folder whose name has only characters of the system's "
         L"code page.";
}

Log operator+(Log a, const Log& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The joined file written beside output under a temporary name, which then takes output's name.
Log Renamed(const std::wstring& output) {
  return {kMakeTemporary, L"replace " + output + L" with " + kTemporary};
}

TEST(ToolPaths, PassesEveryPathInAFormThatSurvivesTheCodePage) {
  const struct {
    const char* name;
    std::wstring entry;
    std::wstring output;
    std::function<void(ScriptedHost&)> setUp;
    std::wstring run;  // the command line after the tool's path; empty: nothing runs
    std::wstring message;
    Log files;  // what is made, renamed and removed
  } cases[] = {
      {"a name of the code page goes as it is, the output by a temporary file beside it", kCafe,
       L"D:\\out\\\u00fcn.pdf", nullptr,
       L"A=\"" + kCafe + L"\" cat A output \"" + kTemporary + L"\"", L"Join successful.",
       Renamed(L"D:\\out\\\u00fcn.pdf")},
      {"one outside it goes by its short form", kGreek, L"D:\\out\\all.pdf",
       [](ScriptedHost& h) { h.shortForms[kGreek] = L"D:\\____~1\\a.pdf"; },
       L"A=\"D:\\____~1\\a.pdf\" cat A output \"" + kTemporary + L"\"", L"Join successful.",
       Renamed(L"D:\\out\\all.pdf")},
      // A volume without short names: no entry of shortForms.
      {"without a short form by a stand-in in the join's own folder", kGreek, L"D:\\out\\all.pdf",
       nullptr, L"A=\"" + kStandIn + L"\" cat A output \"" + kTemporary + L"\"",
       L"Join successful.",
       kStandInMade + Renamed(L"D:\\out\\all.pdf") + Log{L"remove folder " + kOwn}},
      {"where none can be made nothing runs, and nothing made is left", kGreek, L"D:\\out\\all.pdf",
       [](ScriptedHost& h) { h.standInsFail = true; }, L"",
       CannotPass(kGreek, L"no link to it or copy of it under a plain name could be made."),
       kStandInMade + Log{L"remove folder " + kOwn}},
      {"nor where others can read the own folder, which is named", kGreek, L"D:\\out\\all.pdf",
       [](ScriptedHost& h) { h.standInsFail = h.folderReadableByOthers = true; }, L"",
       L"Nothing was joined: other users of this computer could read what the join would make of "
       L"your files in its folder " +
           kOwn + L", since the drive keeps no access lists.",
       kStandInMade + Log{L"remove folder " + kOwn}},
      {"an entry ending in pdf without a dot passes as listed, and goes by its short form",
       kSynopsis, L"D:\\out\\all.pdf",
       [](ScriptedHost& h) { h.shortForms[kSynopsis] = L"D:\\____~1.XPD"; },
       L"A=\"D:\\____~1.XPD\" cat A output \"" + kTemporary + L"\"", L"Join successful.",
       Renamed(L"D:\\out\\all.pdf")},
      {"a folder that cannot be removed is named", kGreek, L"D:\\out\\all.pdf",
       [](ScriptedHost& h) { h.stuck = {kOwn}; },
       L"A=\"" + kStandIn + L"\" cat A output \"" + kTemporary + L"\"",
       L"Join successful.\n\nFolianto could not remove what it made for pdftk.exe: " + kOwn +
           L". You can delete it: your own files stay as they are.",
       kStandInMade + Renamed(L"D:\\out\\all.pdf") + Log{L"remove folder " + kOwn}},
      {"a missing input of the code page goes as it is, for the tool to report", kCafe,
       L"D:\\out\\all.pdf", [](ScriptedHost& h) { h.missing.insert(kCafe); },
       L"A=\"" + kCafe + L"\" cat A output \"" + kTemporary + L"\"", L"Join successful.",
       Renamed(L"D:\\out\\all.pdf")},
      {"a missing input outside it is refused, before a temporary output is made",
       kGreek,
       kGreekOutput,
       [](ScriptedHost& h) { h.missing.insert(kGreek); },
       L"",
       L"The file " + kGreek + L" was not found. Nothing was joined.",
       {}},
      {"the output's folder by its short form",
       kCafe,
       kGreekFolder + L"\\all.pdf",
       [](ScriptedHost& h) { h.shortForms[kGreekFolder] = L"D:\\____~1"; },
       L"A=\"" + kCafe + L"\" cat A output \"D:\\____~1\\FOL1A.tmp\"",
       L"Join successful.",
       {L"make temporary in " + kGreekFolder,
        L"replace " + kGreekFolder + L"\\all.pdf with " + kGreekFolder + L"\\FOL1A.tmp"}},
      {"an output folder without a short form: written in the own folder, then moved",
       kCafe,
       kGreekFolder + L"\\all.pdf",
       nullptr,
       L"A=\"" + kCafe + L"\" cat A output \"C:\\Temp\\fol1b\\FOL1A.tmp\"",
       L"Join successful.",
       {L"make folder in C:\\Temp", L"file C:\\Temp\\fol1b\\FOL1A.tmp",
        L"replace " + kGreekFolder + L"\\all.pdf with C:\\Temp\\fol1b\\FOL1A.tmp",
        L"remove folder C:\\Temp\\fol1b"}},
      {"nor the temporary folder: nothing runs",
       kCafe,
       kGreekFolder + L"\\all.pdf",
       [](ScriptedHost& h) { h.temporaryFolder = kGreekFolder; },
       L"",
       CannotPass(kGreekFolder + L"\\all.pdf",
                  L"no temporary file for pdftk.exe to write could be made."),
       {L"make folder in " + kGreekFolder, L"file " + kGreekFolder + L"\\fol1b\\FOL1A.tmp",
        L"remove folder " + kGreekFolder + L"\\fol1b"}},
      {"an output name outside it: a temporary name, then renamed", kCafe, kGreekOutput, nullptr,
       L"A=\"" + kCafe + L"\" cat A output \"" + kTemporary + L"\"", L"Join successful.",
       Renamed(kGreekOutput)},
      {"a failed join leaves no temporary file, link or folder, and the output as it was", kGreek,
       kGreekOutput,
       [](ScriptedHost& h) {
         h.toolRun = {ExitedWith(1), L""};
       },
       L"A=\"" + kStandIn + L"\" cat A output \"" + kTemporary + L"\"",
       L"The join failed: pdftk.exe ended with exit code 1.",
       kStandInMade + Log{kMakeTemporary, L"remove " + kTemporary, L"remove folder " + kOwn}},
      {"a joined file that cannot take its name is kept", kCafe, kGreekOutput,
       [](ScriptedHost& h) { h.replaceFails = true; },
       L"A=\"" + kCafe + L"\" cat A output \"" + kTemporary + L"\"",
       L"The files were joined, but the joined file could not be named " + kGreekOutput +
           L" (system error 5: The words for 5.). It is kept as " + kTemporary + L".",
       Renamed(kGreekOutput)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedHost host;
    host.survives = InWesternCodePage;
    host.saveAnswer = c.output;
    if (c.setUp) c.setUp(host);
    MemoryFileList list({c.entry});
    CommonDialog dialog;
    RunJoinCommand(host, list, dialog, testing::kFolder);
    EXPECT_EQ(host.Runs(), c.run.empty() ? Log{} : Log{LR"("C:\Tools\pdftk.exe" )" + c.run});
    EXPECT_EQ(host.Messages(), Log{c.message});
    Log files;
    std::copy_if(host.log.begin(), host.log.end(), std::back_inserter(files),
                 [](const std::wstring& line) {
                   return line.starts_with(L"make ") || line.starts_with(L"stand-in ") ||
                          line.starts_with(L"file ") || line.starts_with(L"replace ") ||
                          line.starts_with(L"remove ");
                 });
    EXPECT_EQ(files, c.files);
    EXPECT_EQ(list.Entries(), std::vector<std::wstring>{c.entry}) << "the list keeps its text";
  }
}

// Folianto's own folder in the tool's path goes by its short form like any other (the Windows
// tests join so); without one, best fit would make a real quote of the fullwidth one, which splits
// the tool's arguments.
TEST(ToolPaths, AToolFolderWithoutAFormTheToolReadsRefusesTheJoinBeforeAnythingIsMade) {
  const std::wstring folder = L"C:\\\uff02Tools\uff02";
  ScriptedHost host;
  host.survives = InWesternCodePage;
  host.saveAnswer = L"D:\\out\\all.pdf";
  MemoryFileList list({L"D:\\in\\one.pdf"});
  CommonDialog dialog;
  RunJoinCommand(host, list, dialog, folder);
  EXPECT_EQ(host.Messages(),
            Log{L"pdftk.exe cannot be run from Folianto's folder " + folder +
                L": pdftk.exe cannot read its name on this system, and it has no short name. "
                L"Move Folianto and pdftk.exe to a folder whose name has only characters of the "
                L"system's code page. Nothing was joined."});
  EXPECT_TRUE(std::none_of(host.log.begin(), host.log.end(), [](const std::wstring& line) {
    return line.starts_with(L"make ") || line.starts_with(L"run ");
  }));
}

TEST(ToolPaths, TheSaveDialogAsksBeforeReplacingButTheSharedDialogKeepsItsFlags) {
  ScriptedHost host;
  host.saveAnswer = L"D:\\out\\all.pdf";
  MemoryFileList list({L"D:\\in\\one.pdf"});
  CommonDialog dialog;
  dialog.flags = 0x280201;
  RunJoinCommand(host, list, dialog, testing::kFolder);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].flags, 0x280201u | kAskBeforeReplacing);
  EXPECT_EQ(host.shown[0].defaultExt, L"pdf");
  EXPECT_EQ(dialog.flags, 0x280201u);
  EXPECT_EQ(dialog.defaultExt, L"");
  EXPECT_EQ(dialog.fileName, L"D:\\out\\all.pdf");
}

}  // namespace
}  // namespace folianto

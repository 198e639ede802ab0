#include "join/ToolSpelling.h"

#include <gtest/gtest.h>

#include "filelist/MemoryFileList.h"
#include "join/ScriptedJoinHost.h"

namespace folianto {
namespace {

using testing::kFolder;
using testing::Log;
using testing::ScriptedHost;

// The Western code page, as Wine under a UTF-8 locale has it: Latin letters with accents
// survive, Greek and Japanese do not.
bool InWesternCodePage(const std::wstring& text) {
  for (const wchar_t c : text) {
    if (c > 0xFF) return false;
  }
  return true;
}

const std::wstring kGreek = L"D:\\\u03a3\u03c7\u03ad\u03b4\u03b9\u03b1\\\u0395\u03bb\u03bb.pdf";
const std::wstring kGreekShort = L"D:\\____~1\\___~1.PDF";
const std::wstring kCafe = L"D:\\caf\u00e9.pdf";

struct Case {
  const char* name;
  std::vector<std::wstring> entries;
  std::wstring output;
  std::function<void(ScriptedHost&)> setUp;
  Log run;       // the command line, when one runs
  Log messages;  // what the user is told
  Log files;     // what happens to temporary files
};

TEST(ToolSpelling, PassesEveryPathInAFormThatSurvivesTheCodePage) {
  const std::wstring tool = LR"("C:\Tools\pdftk.exe" )";
  const std::wstring greekOutput = L"D:\\out\\\u03a3\u03cd\u03bd\u03bf\u03bb\u03bf.pdf";
  const Case cases[] = {
      {"names of the code page go as they are",
       {kCafe},
       L"D:\\out\\\u00fcn\u00efcode \u00ff.pdf",
       nullptr,
       {tool + L"A=\"" + kCafe + L"\" cat A output \"D:\\out\\\u00fcn\u00efcode \u00ff.pdf\""},
       {L"Join successful."},
       {}},
      {"a name outside it goes by its short form",
       {kGreek, kCafe},
       L"D:\\out\\all.pdf",
       [](ScriptedHost& h) { h.shortForms[kGreek] = kGreekShort; },
       {tool + L"A=\"" + kGreekShort + L"\" B=\"" + kCafe +
        L"\" cat A B output \"D:\\out\\all.pdf\""},
       {L"Join successful."},
       {}},
      {"without a short form nothing runs",
       {kCafe, kGreek},
       L"D:\\out\\all.pdf",
       nullptr,
       {},
       {L"The name " + kGreek +
        L" cannot be passed to pdftk.exe. Rename it, or move it to a folder whose name has only "
        L"characters of the system's code page."},
       {}},
      {"a missing input goes as it is, for the tool to report",
       {kGreek},
       L"D:\\out\\all.pdf",
       [](ScriptedHost& h) { h.missing.insert(kGreek); },
       {tool + L"A=\"" + kGreek + L"\" cat A output \"D:\\out\\all.pdf\""},
       {L"Join successful."},
       {}},
      {"the output's folder by its short form",
       {kCafe},
       L"D:\\\u03a3\u03c7\u03ad\u03b4\u03b9\u03b1\\all.pdf",
       [](ScriptedHost& h) {
         h.shortForms[L"D:\\\u03a3\u03c7\u03ad\u03b4\u03b9\u03b1"] = L"D:\\____~1";
       },
       {tool + L"A=\"" + kCafe + L"\" cat A output \"D:\\____~1\\all.pdf\""},
       {L"Join successful."},
       {}},
      {"an output folder without a short form: nothing runs",
       {kCafe},
       L"D:\\\u03a3\u03c7\u03ad\u03b4\u03b9\u03b1\\all.pdf",
       nullptr,
       {},
       {L"The name D:\\\u03a3\u03c7\u03ad\u03b4\u03b9\u03b1 cannot be passed to pdftk.exe. Rename "
        L"it, or move it to a folder whose name has only characters of the system's code page."},
       {}},
      {"an output name outside it: written under a temporary name, then renamed",
       {kCafe},
       greekOutput,
       nullptr,
       {tool + L"A=\"" + kCafe + L"\" cat A output \"D:\\out\\FOL1A.tmp\""},
       {L"Join successful."},
       {L"make temporary in D:\\out", L"replace " + greekOutput + L" with D:\\out\\FOL1A.tmp"}},
      {"a failed join leaves no temporary file",
       {kCafe},
       greekOutput,
       [](ScriptedHost& h) {
         h.toolRun = {ExitedWith(1), L"Error"};
       },
       {tool + L"A=\"" + kCafe + L"\" cat A output \"D:\\out\\FOL1A.tmp\""},
       {L"The join failed: pdftk.exe ended with exit code 1.\n\nError"},
       {L"make temporary in D:\\out", L"remove D:\\out\\FOL1A.tmp"}},
      {"a joined file that cannot take its name is kept",
       {kCafe},
       greekOutput,
       [](ScriptedHost& h) { h.replaceFails = true; },
       {tool + L"A=\"" + kCafe + L"\" cat A output \"D:\\out\\FOL1A.tmp\""},
       {L"The files were joined, but the joined file could not be named " + greekOutput +
        L". It is kept as D:\\out\\FOL1A.tmp."},
       {L"make temporary in D:\\out", L"replace " + greekOutput + L" with D:\\out\\FOL1A.tmp"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedHost host;
    host.survives = InWesternCodePage;
    host.saveAnswer = c.output;
    if (c.setUp) c.setUp(host);
    MemoryFileList list(c.entries);
    CommonDialog dialog;
    RunJoinCommand(host, list, dialog, kFolder);
    EXPECT_EQ(host.Runs(), c.run);
    EXPECT_EQ(host.Messages(), c.messages);
    Log files;
    for (const std::wstring& line : host.log) {
      if (line.starts_with(L"make ") || line.starts_with(L"replace ") ||
          line.starts_with(L"remove "))
        files.push_back(line);
    }
    EXPECT_EQ(files, c.files);
    EXPECT_EQ(list.Entries(), c.entries) << "the list keeps every entry as the user sees it";
  }
}

TEST(ToolSpelling, TheSaveDialogAsksBeforeReplacingButTheSharedDialogKeepsItsFlags) {
  ScriptedHost host;
  host.saveAnswer = L"D:\\out\\all.pdf";
  MemoryFileList list({L"D:\\in\\one.pdf"});
  CommonDialog dialog;
  dialog.flags = 0x280201;
  RunJoinCommand(host, list, dialog, kFolder);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].flags, 0x280201u | kAskBeforeReplacing);
  EXPECT_EQ(host.shown[0].defaultExt, L"pdf");
  EXPECT_EQ(dialog.flags, 0x280201u);
  EXPECT_EQ(dialog.defaultExt, L"");
  EXPECT_EQ(dialog.fileName, L"D:\\out\\all.pdf");
}

}  // namespace
}  // namespace folianto

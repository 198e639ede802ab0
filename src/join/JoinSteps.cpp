#include "join/JoinSteps.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <utility>

#include "filelist/PdfTest.h"
#include "join/JoinCommandLine.h"
#include "join/Outline.h"
#include "join/ToolPaths.h"
#include "platform/Paths.h"

namespace folianto {

namespace {

// What the tool writes among its messages of an input it cannot open without a password: "OWNER OR
// USER PASSWORD REQUIRED, but not given", "... but incorrect", or in older builds "OWNER PASSWORD
// REQUIRED".
constexpr std::wstring_view kPasswordRequired = L"PASSWORD REQUIRED";

constexpr wchar_t kAskPassword[] = L"This file needs a password to open. Type its password:";
constexpr wchar_t kWrongPassword[] =
    L"That password is wrong. Type the password that opens this file:";

const ToolRun kNothingRun{RunResult{}, L"", L""};

bool Succeeded(const ToolRun& run) {
  return run.result.Succeeded();
}

// What the tool says of inputs it could not open; nothing of a run that may still go on.
size_t InputsNeedingPasswords(const ToolRun& run) {
  if (Succeeded(run) || !run.result.ended) return 0;
  size_t count = 0;
  for (size_t at = run.errors.find(kPasswordRequired); at != std::wstring::npos;
       at = run.errors.find(kPasswordRequired, at + 1))
    ++count;
  return count;
}

std::wstring Quoted(const std::wstring& path) {
  return L"\"" + path + L"\"";
}

// The letters the tool reads where the system's code page is codePage, as people name them.
std::wstring LettersOfCodePage(unsigned codePage) {
  static constexpr struct {
    unsigned codePage;
    const wchar_t* script;
    bool latin;
  } kScripts[] = {
      {874, L"Thai", false},
      {932, L"Japanese", false},
      {936, L"Simplified Chinese", false},
      {949, L"Korean", false},
      {950, L"Traditional Chinese", false},
      {1250, L"Central European", true},
      {1251, L"Cyrillic", false},
      {1252, L"Western European", true},
      {1253, L"Greek", false},
      {1254, L"Turkish", true},
      {1255, L"Hebrew", false},
      {1256, L"Arabic", false},
      {1257, L"Baltic", true},
      {1258, L"Vietnamese", true},
  };
  for (const auto& script : kScripts) {
    if (script.codePage == codePage) {
      return script.script + std::wstring(script.latin ? L" (Latin) letters"
                                                       : L" and basic Latin (A to Z) letters");
    }
  }
  return L"the letters of code page " + std::to_wstring(codePage);
}

// What the password box says of a password with letters that cannot reach the tool: which letters
// it can, never one of the password's, which anyone behind the user could read.
std::wstring UnreadablePasswordPrompt(unsigned codePage) {
  return L"The password has letters that pdftk.exe cannot read on this system, where it reads "
         L"only " +
         LettersOfCodePage(codePage) +
         L", digits and common signs. If the password is typed right, save the file without a "
         L"password in another program and join that copy.";
}

// The line the tool reads the password from; it holds the only copy of the password.
SecretText PasswordLine(SecretText password) {
  std::wstring line;
  line.reserve(password.Text().size() + 1);
  line.append(password.Text()).push_back(L'\n');
  return SecretText(line);
}

class JoinSteps {
 public:
  JoinSteps(const JoinHost& host, const JoinRun& join)
      : host_(host), workspace_(host.workspace), join_(join), toolEntries_(join.tool.entries) {}

  JoinStepsOutcome Run() {
    // With bookmarks the join goes to a file of its own first, and the outline's writing gives
    // the output.
    std::wstring joined = join_.tool.output;
    if (join_.bookmarkEachFile) {
      const auto scratch = MakePrivateFile();
      if (!scratch) return NoRoom();
      joined = *scratch;
    }
    JoinStepsOutcome outcome = Join(joined);
    if (outcome.message || !Succeeded(outcome.run) || !join_.bookmarkEachFile) return outcome;
    return WriteFileEntries(joined, outcome.run.output);
  }

 private:
  ToolRun RunTool(const std::wstring& arguments, const ToolRunOptions& options = {}) {
    return host_.tool.RunHiddenAndWait(ToolCommand(join_.applicationFolder) + arguments, options);
  }

  // Joins, and while the join reports inputs that need a password, opens the next ones and joins
  // again. The tool may name fewer than there are (it may stop at the first, or its words are
  // cut): how many it names is only how many to look for before the next try.
  JoinStepsOutcome Join(const std::wstring& into) {
    JoinStepsOutcome outcome = JoinOnce(into);
    while (!outcome.message) {
      const size_t needing = InputsNeedingPasswords(outcome.run);
      if (needing == 0) break;
      const size_t known = opened_.size();
      if (auto stop = OpenWithPasswords(needing)) return std::move(*stop);
      // Every input looked at, and none more opened: the join would end as it did.
      if (opened_.size() == known) return outcome;
      outcome = JoinOnce(into);
    }
    return outcome;
  }

  JoinStepsOutcome JoinOnce(const std::wstring& into) {
    std::wstring line =
        BuildJoinCommandLine(join_.applicationFolder, join_.entries, toolEntries_, into);
    // The join tells the pages it adds from each input, which the outline needs.
    if (join_.bookmarkEachFile) line += L" verbose";
    if (line.size() >= kMaxCommandLineLength)
      return {kNothingRun, L"The file paths are too long to join in one go."};
    const ToolOutput output = join_.bookmarkEachFile ? ToolOutput::All : ToolOutput::Tail;
    return {host_.tool.RunHiddenAndWait(line, {nullptr, output}), std::nullopt};
  }

  // Finds the inputs that need a password, in list order from the first not yet looked at, until
  // as many as the join reported, and opens each with the password the user gives into a file of
  // the join's own, which the join then reads in its place. The tool reads one password from its
  // standard input per run. Returns how the join ends when it cannot go on.
  std::optional<JoinStepsOutcome> OpenWithPasswords(size_t needing) {
    // Even what the tool tells of a file goes where only this user can read it.
    if (WhyNoPrivateFolder(workspace_)) return NoRoom();
    const auto& entries = join_.entries;
    for (; next_ < entries.size() && needing > 0; ++next_) {
      const std::wstring& entry = entries[next_];
      if (!PassesPdfTest(entry)) continue;
      // A file listed again was looked at once. The tool counts it again where it needs a
      // password, unless the join already hands it the opened copy there.
      const auto here = entries.begin() + static_cast<std::ptrdiff_t>(next_);
      if (std::find(entries.begin(), here, entry) != here) {
        const auto known = opened_.find(entry);
        if (known != opened_.end() && toolEntries_[next_] != known->second) --needing;
        continue;
      }
      const std::wstring handle = L"A=" + Quoted(toolEntries_[next_]);
      const ToolRun look =
          RunTool(handle + L" dump_data_utf8",
                  {nullptr, ToolOutput::Tail, L"looking whether " + entry + L" needs a password"});
      // A run whose end is not known ends the join: its tool may still use what the join made.
      if (!look.result.ended) return JoinStepsOutcome{look, std::nullopt};
      if (InputsNeedingPasswords(look) == 0) continue;
      --needing;
      const auto open = MakePrivateFile();
      if (!open) return NoRoom();
      if (auto stop = OpenWithPassword(entry, handle, *open)) return stop;
      opened_[entry] = *open;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
      if (const auto known = opened_.find(entries[i]); known != opened_.end())
        toolEntries_[i] = known->second;
    }
    return std::nullopt;
  }

  // Asks for the password of the listed entry until the tool, given it on its standard input,
  // opens the file (handle) with it and writes its pages into open. A password with characters
  // that would not reach the tool as typed is not handed to it. Returns how the join ends when it
  // cannot go on.
  std::optional<JoinStepsOutcome> OpenWithPassword(const std::wstring& entry,
                                                   const std::wstring& handle,
                                                   const std::wstring& open) {
    std::wstring prompt = kAskPassword;
    for (;;) {
      // The window may have been closed while the tool ran.
      if (!host_.person.CanAsk()) {
        return JoinStepsOutcome{kNothingRun, L"The file " + entry +
                                                 L" needs a password to open, which cannot be "
                                                 L"asked for once the window has been closed. "
                                                 L"Nothing was joined."};
      }
      std::optional<SecretText> password = host_.person.AskPassword(entry, prompt);
      if (!password) return JoinStepsOutcome{kNothingRun, L""};
      if (!host_.names.SurvivesCodePage(password->Text())) {
        prompt = UnreadablePasswordPrompt(host_.names.CodePage());
        continue;
      }
      // The tool's input takes the line, and wipes it, before the tool runs.
      SecretText input = PasswordLine(std::move(*password));
      const ToolRun run =
          RunTool(handle + L" input_pw A=PROMPT cat A output " + Quoted(open),
                  {&input, ToolOutput::Tail, L"opening " + entry + L" with its password"});
      if (Succeeded(run)) return std::nullopt;
      if (InputsNeedingPasswords(run) == 0) return JoinStepsOutcome{run, std::nullopt};
      prompt = kWrongPassword;
    }
  }

  // Reads the joined file's outline, in which each input's bookmarks already point at their
  // joined pages, and writes it again with an entry for each file into the output.
  JoinStepsOutcome WriteFileEntries(const std::wstring& joined, const std::wstring& joinOutput) {
    std::vector<std::wstring> titles;
    for (const std::wstring& entry : join_.entries) {
      if (PassesPdfTest(entry)) titles.push_back(FileEntryTitle(entry));
    }
    const std::vector<int> pages = PagesPerInput(joinOutput);
    if (pages.size() != titles.size()) {
      return {kNothingRun,
              L"The bookmarks could not be added: pdftk.exe did not tell the pages of each file. "
              L"Nothing was joined."};
    }
    const std::wstring handle = L"A=" + Quoted(joined);
    const ToolRun dump = RunTool(handle + L" dump_data_utf8",
                                 {nullptr, ToolOutput::AllUtf8, L"reading the joined outline"});
    if (!Succeeded(dump)) return {dump, std::nullopt};
    const std::vector<Bookmark> outline =
        OutlineWithFileEntries(titles, pages, BookmarksOf(dump.output));
    const auto data = MakePrivateFile(OutlineData(outline));
    if (!data) return NoRoom();
    return {
        RunTool(handle + L" update_info " + Quoted(*data) + L" output " + Quoted(join_.tool.output),
                {nullptr, ToolOutput::Tail, L"writing the outline with a bookmark for each file"}),
        std::nullopt};
  }

  // A new file holding content in the join's private folder, which holds whatever the steps make
  // of the inputs' content (what is decrypted, the outline, the join before its outline), as the
  // tool is handed it. None where it cannot be made.
  std::optional<std::wstring> MakePrivateFile(std::string_view content = {}) {
    return MadeFileForTool(host_.names, workspace_.MakeFile(content));
  }

  JoinStepsOutcome NoRoom() {
    return {kNothingRun,
            WhyNoPrivateFolder(workspace_)
                .value_or(L"Folianto could not make a file in the folder of the join's own, " +
                          workspace_.OwnFolder().path + L". Nothing was joined.")};
  }

  const JoinHost host_;
  JoinWorkspace& workspace_;
  const JoinRun& join_;
  std::vector<std::wstring> toolEntries_;
  // The listed files opened with their passwords, each with its file without one, and the
  // position of the first entry not yet looked at for a password.
  std::map<std::wstring, std::wstring> opened_;
  size_t next_ = 0;
};

}  // namespace

JoinStepsOutcome RunJoinSteps(const JoinHost& host, const JoinRun& join) {
  return JoinSteps(host, join).Run();
}

}  // namespace folianto

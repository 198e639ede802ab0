#include "join/JoinSteps.h"

#include <map>
#include <utility>

#include "filelist/PdfTest.h"
#include "join/JoinCommandLine.h"
#include "join/Outline.h"
#include "join/ToolPaths.h"
#include "platform/Paths.h"

namespace folianto {

namespace {

// What the tool writes of an input it cannot open without a password: "OWNER OR USER PASSWORD
// REQUIRED, but not given", "... but incorrect", or in older builds "OWNER PASSWORD REQUIRED".
constexpr std::wstring_view kPasswordRequired = L"PASSWORD REQUIRED";

const ToolRun kNothingRun{RunResult{}, L""};

bool Succeeded(const ToolRun& run) {
  return run.result.Succeeded();
}

size_t InputsNeedingPasswords(const ToolRun& run) {
  if (Succeeded(run)) return 0;
  size_t count = 0;
  for (size_t at = run.output.find(kPasswordRequired); at != std::wstring::npos;
       at = run.output.find(kPasswordRequired, at + 1))
    ++count;
  return count;
}

std::wstring Quoted(const std::wstring& path) {
  return L"\"" + path + L"\"";
}

// A file of the join's in its private folder: as it was made, and as the tool is handed it.
struct PrivateFile {
  std::wstring made;
  std::wstring tool;
};

class JoinSteps {
 public:
  JoinSteps(JoinHost& host, const JoinRun& join)
      : host_(host), workspace_(host.Workspace()), join_(join), toolEntries_(join.tool.entries) {}

  JoinStepsOutcome Run() {
    // With bookmarks the join goes to a file of its own first, and the outline's writing gives
    // the output.
    std::wstring joined = join_.tool.output;
    if (join_.bookmarkEachFile) {
      const auto scratch = MakePrivateFile();
      if (!scratch) return NoRoom();
      joined = scratch->tool;
    }
    JoinStepsOutcome outcome = Join(joined);
    if (outcome.message || !Succeeded(outcome.run) || !join_.bookmarkEachFile) return outcome;
    return WriteFileEntries(joined, outcome.run.output);
  }

 private:
  ToolRun RunTool(const std::wstring& arguments, const ToolRunOptions& options = {}) {
    return host_.RunHiddenAndWait(ToolCommand(join_.applicationFolder) + arguments, options);
  }

  JoinStepsOutcome Join(const std::wstring& into) {
    JoinStepsOutcome outcome = JoinOnce(into);
    const size_t needing = InputsNeedingPasswords(outcome.run);
    if (outcome.message || needing == 0) return outcome;
    if (auto stop = OpenWithPasswords(needing)) return std::move(*stop);
    return JoinOnce(into);
  }

  JoinStepsOutcome JoinOnce(const std::wstring& into) {
    std::wstring line =
        BuildJoinCommandLine(join_.applicationFolder, join_.entries, toolEntries_, into);
    // The join tells the pages it adds from each input, which the outline needs.
    if (join_.bookmarkEachFile) line += L" verbose";
    if (line.size() >= kMaxCommandLineLength)
      return {kNothingRun, L"The file paths are too long to join in one go."};
    return {host_.RunHiddenAndWait(line, {nullptr, join_.bookmarkEachFile}), std::nullopt};
  }

  // Finds the inputs that need a password, in list order, until as many as the join reported,
  // and opens each with the password the user gives into a file of the join's own, which the
  // join then reads in its place. The tool reads one password from its standard input per run.
  // Returns how the join ends when it cannot go on.
  std::optional<JoinStepsOutcome> OpenWithPasswords(size_t needing) {
    std::map<std::wstring, std::wstring> opened;  // a listed file, and its file without password
    for (size_t i = 0; i < join_.entries.size() && needing > 0; ++i) {
      const std::wstring& entry = join_.entries[i];
      if (!PassesPdfTest(entry)) continue;
      // A file listed again was asked for once; the tool counts it again.
      if (opened.count(entry)) {
        --needing;
        continue;
      }
      const std::wstring handle = L"A=" + Quoted(toolEntries_[i]);
      if (InputsNeedingPasswords(RunTool(handle + L" dump_data_utf8")) == 0) continue;
      --needing;
      const auto open =
          MakePrivateFile(std::wstring{HandleLetter(static_cast<int>(i) + 1)} + L".pdf");
      if (!open) return NoRoom();
      if (auto stop = OpenWithPassword(entry, handle, open->tool)) return stop;
      workspace_.Wrote(open->made);
      opened[entry] = open->tool;
    }
    for (size_t i = 0; i < join_.entries.size(); ++i) {
      if (const auto known = opened.find(join_.entries[i]); known != opened.end())
        toolEntries_[i] = known->second;
    }
    return std::nullopt;
  }

  // Asks for the password of the listed entry until the tool, given it on its standard input,
  // opens the file (handle) with it and writes its pages into open. Returns how the join ends
  // when it cannot go on.
  std::optional<JoinStepsOutcome> OpenWithPassword(const std::wstring& entry,
                                                   const std::wstring& handle,
                                                   const std::wstring& open) {
    for (bool again = false;; again = true) {
      // The window may have been closed while the tool ran.
      if (!host_.CanAsk()) {
        return JoinStepsOutcome{kNothingRun, L"The file " + entry +
                                                 L" needs a password to open, which cannot be "
                                                 L"asked for once the window has been closed. "
                                                 L"Nothing was joined."};
      }
      const std::optional<SecretText> password = host_.AskPassword(entry, again);
      if (!password) return JoinStepsOutcome{kNothingRun, L""};
      std::wstring line;
      line.reserve(password->Text().size() + 1);
      line.append(password->Text()).push_back(L'\n');
      const SecretText input(line);
      const ToolRun run =
          RunTool(handle + L" input_pw A=PROMPT cat A output " + Quoted(open), {&input, false});
      if (Succeeded(run)) return std::nullopt;
      if (InputsNeedingPasswords(run) == 0) return JoinStepsOutcome{run, std::nullopt};
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
    const ToolRun dump = RunTool(handle + L" dump_data_utf8", {nullptr, true});
    if (!Succeeded(dump)) return {dump, std::nullopt};
    const std::vector<Bookmark> outline =
        OutlineWithFileEntries(titles, pages, BookmarksOf(dump.output));
    const auto data = MakePrivateFile({}, OutlineData(outline));
    if (!data) return NoRoom();
    return {RunTool(handle + L" update_info " + Quoted(data->tool) + L" output " +
                    Quoted(join_.tool.output)),
            std::nullopt};
  }

  // A new file in the join's private folder, which holds whatever the steps make of the inputs'
  // content (what is decrypted, the outline, the join before its outline); under name when given,
  // else under a made name holding content. None where it cannot be made.
  std::optional<PrivateFile> MakePrivateFile(const std::wstring& name = {},
                                             std::string_view content = {}) {
    const std::wstring folder = workspace_.PrivateFolder();
    const auto readable = folder.empty() ? std::nullopt : ReadableForm(host_, folder);
    if (!readable) return std::nullopt;
    const std::wstring made = name.empty() ? workspace_.MakeFile(folder, content)
                                           : workspace_.MakeNamedFile(folder, name);
    if (made.empty()) return std::nullopt;
    return PrivateFile{made, InFolder(*readable, NameOfPath(made))};
  }

  JoinStepsOutcome NoRoom() const {
    return {kNothingRun,
            L"Folianto could not make a folder of the join's own in the temporary folder, where "
            L"only you can read what it makes of the files. Nothing was joined."};
  }

  JoinHost& host_;
  JoinWorkspace& workspace_;
  const JoinRun& join_;
  std::vector<std::wstring> toolEntries_;
};

}  // namespace

JoinStepsOutcome RunJoinSteps(JoinHost& host, const JoinRun& join) {
  return JoinSteps(host, join).Run();
}

}  // namespace folianto

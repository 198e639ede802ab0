#include "join/JoinSteps.h"

#include <map>
#include <utility>

#include "filelist/PdfTest.h"
#include "join/JoinCommandLine.h"
#include "join/Outline.h"
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

// The files the steps make for themselves, in the folder where the tool writes the output (or its
// temporary file), removed when the steps end. Their names are plain, so the tool reads them whole.
class ScratchFiles {
 public:
  ScratchFiles(ToolFileNames& names, std::wstring folder)
      : names_(names), folder_(std::move(folder)) {}
  ~ScratchFiles() {
    for (const std::wstring& file : files_)
      names_.RemoveFile(file);
    if (!ownFolder_.empty()) names_.RemoveFolder(ownFolder_);
  }
  ScratchFiles(const ScratchFiles&) = delete;
  ScratchFiles& operator=(const ScratchFiles&) = delete;

  const std::wstring& Folder() const { return folder_; }

  // A new empty file; empty when none could be made.
  std::wstring MakeFile() {
    std::wstring file = names_.MakeTemporaryFile(folder_);
    if (!file.empty()) files_.push_back(file);
    return file;
  }
  // The path of a file named name for the tool to write, in a folder made for the join, where
  // names are the join's own; empty when that folder could not be made.
  std::wstring PlaceFor(const std::wstring& name) {
    if (ownFolder_.empty()) ownFolder_ = names_.MakeTemporaryFolder(folder_);
    if (ownFolder_.empty()) return {};
    return files_.emplace_back(InFolder(ownFolder_, name));
  }

 private:
  ToolFileNames& names_;
  std::wstring folder_;
  std::wstring ownFolder_;
  std::vector<std::wstring> files_;
};

class JoinSteps {
 public:
  JoinSteps(JoinHost& host, const JoinRun& join)
      : host_(host),
        join_(join),
        toolEntries_(join.tool.entries),
        scratch_(host, FolderOfPath(join.tool.output)) {}

  JoinStepsOutcome Run() {
    // With bookmarks the join goes to a file of its own first, and the outline's writing gives
    // the output.
    std::wstring joined = join_.tool.output;
    if (join_.bookmarkEachFile && (joined = scratch_.MakeFile()).empty()) return NoRoom();
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
      const std::wstring open =
          scratch_.PlaceFor(std::wstring{HandleLetter(static_cast<int>(i) + 1)} + L".pdf");
      if (open.empty()) return NoRoom();
      if (auto stop = OpenWithPassword(entry, handle, open)) return stop;
      opened[entry] = open;
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
    const std::wstring data = scratch_.MakeFile();
    if (data.empty()) return NoRoom();
    const std::vector<Bookmark> outline =
        OutlineWithFileEntries(titles, pages, BookmarksOf(dump.output));
    if (!host_.WriteFileContent(data, OutlineData(outline))) {
      return {kNothingRun, L"The bookmarks could not be added: the file " + data +
                               L" could not be written. Nothing was joined."};
    }
    return {
        RunTool(handle + L" update_info " + Quoted(data) + L" output " + Quoted(join_.tool.output)),
        std::nullopt};
  }

  JoinStepsOutcome NoRoom() const {
    return {kNothingRun, L"No file of the join's own could be made in " + scratch_.Folder() +
                             L". Nothing was joined."};
  }

  JoinHost& host_;
  const JoinRun& join_;
  std::vector<std::wstring> toolEntries_;
  ScratchFiles scratch_;
};

}  // namespace

JoinStepsOutcome RunJoinSteps(JoinHost& host, const JoinRun& join) {
  return JoinSteps(host, join).Run();
}

}  // namespace folianto

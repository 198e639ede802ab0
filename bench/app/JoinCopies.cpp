// Join by copies: a join of large PDF files whose names the tool cannot read and that have no short
// form, so that each input goes to the tool as a copy in the join's own folder, against the same
// join by the inputs' short forms, which makes no stand-in at all. Both run the join command with
// the real workspace, claims, records and pdftk.exe, without a window; only the system's names are
// told otherwise: no input's own path survives the code page, and for the copies no path has a
// short form. The inputs must lie on another file system than the temporary folder, where no hard
// link reaches them, so that the stand-ins are copies; the benchmark counts them to be sure.
// Usage: bench_join_copies.exe RUNS OUTPUT_FOLDER INPUT.pdf...   (pdftk.exe stands beside this
// program)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "filelist/MemoryFileList.h"
#include "join/DiskWorkspace.h"
#include "join/JoinCommand.h"
#include "join/RunAndWait.h"
#include "join/SessionFileClaims.h"
#include "join/SystemFileNames.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/Paths.h"
#include "platform/SystemError.h"

namespace folianto {
namespace {

// The system's names, but the inputs' own paths do not survive the code page, and with
// shortForms false no path has a short form.
class BenchNames final : public ToolFileNames {
 public:
  BenchNames(const std::vector<std::wstring>& unreadable, bool shortForms)
      : unreadable_(unreadable), shortForms_(shortForms) {}
  bool SurvivesCodePage(const std::wstring& text) override {
    return std::find(unreadable_.begin(), unreadable_.end(), text) == unreadable_.end() &&
           names_.SurvivesCodePage(text);
  }
  std::vector<std::wstring> CharactersOutsideCodePage(const std::wstring& text) override {
    return names_.CharactersOutsideCodePage(text);
  }
  std::optional<std::wstring> ShortForm(const std::wstring& path) override {
    return shortForms_ ? names_.ShortForm(path) : std::nullopt;
  }
  bool Exists(const std::wstring& path) override { return names_.Exists(path); }
  std::optional<size_t> SameFileAmong(const std::wstring& path,
                                      const std::vector<std::wstring>& others) override {
    return names_.SameFileAmong(path, others);
  }

 private:
  SystemFileNames names_;
  const std::vector<std::wstring>& unreadable_;
  bool shortForms_;
};

// A join as the window runs one, the person answering at once: the output, no check box.
class BenchHost final : public JoinPerson, public JoinTool {
 public:
  BenchHost(RunningJoins& joins, BenchNames& names, std::wstring output, std::wstring toolFolder)
      : output_(std::move(output)),
        toolFolder_(std::move(toolFolder)),
        join_(joins),
        names_(names),
        workspace_(TemporaryFolder(), [](HANDLE copy) { WaitRunningMessages(copy); }) {
    join_.Use(workspace_);
  }
  JoinHost Host() { return {*this, *this, join_, names_, workspace_}; }
  std::wstring told;

  DialogOutcome ShowSaveDialog(CommonDialog& dialog) override {
    dialog.fileName = output_;
    dialog.checkBoxTicked = false;
    return {DialogResult::Chosen, 0};
  }
  void ShowMessage(const std::wstring& text) override { told += text; }
  void TellOutcome(const std::wstring&, const JoinOutcome& outcome) override {
    told += outcome.succeeded ? kJoinSuccessful + outcome.text : outcome.text;
  }
  void SetProgress(int) override {}
  std::optional<SecretText> AskPassword(const std::wstring&, const std::wstring&) override {
    return std::nullopt;
  }
  bool CanAsk() override { return false; }
  ToolRun RunHiddenAndWait(const std::wstring& commandLine,
                           const ToolRunOptions& options) override {
    RunOptions tool;
    tool.held = join_.ForTools();
    tool.currentFolder = toolFolder_;
    tool.onStarted = [this](HANDLE process) { workspace_.ToolStarted(process); };
    return RunToolHidden(commandLine, options, std::move(tool), workspace_.OwnFolder().path);
  }
  std::wstring SystemErrorText(uint32_t error) override { return folianto::SystemErrorText(error); }

 private:
  std::wstring output_, toolFolder_;
  RunningJoins::Join join_;
  BenchNames& names_;
  DiskWorkspace workspace_;
};

// How many stand-ins the join being timed copied.
int g_copies = 0;

int Run(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: bench_join_copies.exe RUNS OUTPUT_FOLDER INPUT.pdf...\n");
    return 2;
  }
  const int runs = std::max(1, _wtoi(argv[1]));
  const std::wstring outputFolder = argv[2];
  const std::vector<std::wstring> inputs(argv + 3, argv + argc);
  const std::wstring toolFolder = ApplicationFolder();
  // A stand-in that is a copy is filled; a hard link is not.
  DiskWorkspace::ObserveSteps([](std::wstring_view step) {
    if (step == L"filling") ++g_copies;
  });
  SessionFileClaims claims([](HANDLE lock, unsigned ms) { return WaitRunningMessages(lock, ms); });
  RunningJoins joins(claims);
  MemoryFileList list(inputs);
  CommonDialog dialog;

  // The two ways in turns, each of them first in some rounds, so neither gains from the other's
  // warm caches. The last joined file of each is left for the caller to look into.
  enum Way { kCopies, kShortForms, kWays };
  const wchar_t* const names[kWays] = {L"\\by copies.pdf", L"\\by short forms.pdf"};
  std::vector<double> times[kWays];
  for (int round = 0; round < runs; ++round) {
    for (int turn = 0; turn < kWays; ++turn) {
      const int way = (round + turn) % kWays;
      const std::wstring output = outputFolder + names[way];
      ::DeleteFileW(output.c_str());
      BenchNames seam(inputs, way == kShortForms);
      g_copies = 0;
      std::wstring told;
      const bench::Stopwatch clock;
      {
        BenchHost host(joins, seam, output, toolFolder);
        RunJoinCommand(host.Host(), list, dialog, toolFolder);
        told = host.told;
      }
      times[way].push_back(clock.Milliseconds());
      if (told != kJoinSuccessful || !FileExists(output)) {
        std::fwprintf(stderr, L"%ls\n", told.c_str());
        return bench::Failed("a join did not succeed");
      }
      const int copies = way == kCopies ? static_cast<int>(inputs.size()) : 0;
      if (g_copies != copies) {
        std::fprintf(stderr,
                     "%d copies were made where %d were meant: the inputs must lie on another file "
                     "system than the temporary folder, under names that are not 8.3 names\n",
                     g_copies, copies);
        return 1;
      }
    }
  }
  char what[64];
  std::snprintf(what, sizeof(what), "Join of %zu PDF files by copies", inputs.size());
  bench::Report("join-copies", what, "Folianto", bench::Best(times[kCopies]),
                "the same join by short forms", bench::Best(times[kShortForms]), "ms", runs);
  return 0;
}

}  // namespace
}  // namespace folianto

int wmain(int argc, wchar_t** argv) {
  return folianto::Run(argc, argv);
}

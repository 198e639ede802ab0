// Join overhead: a join of small PDFs through the real "Join!" path (Form1's Check2 with the save
// dialog and the message answered here) against the same pdftk.exe command line started directly
// and waited for; RunAndWait alone in between tells its wait's share from the rest of the join
// command's. That rest is timed on its own with a stand-in tool that ends at once, so that the
// real tool's time, which varies from run to run by as much as the rest costs, is left out. The
// same join with a bookmark for each file is set against the plain one, and its floor, the three
// runs of the tool it needs started directly, against the plain join's one.
// Usage: bench_join.exe RUNS OUTPUT_FOLDER INPUT.pdf...   (pdftk.exe stands beside this program,
// the stand-in in ../bench-quick-tool)
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

#include "AnsweringDialogs.h"
#include "BenchSupport.h"
#include "app/Form1.h"
#include "platform/UiThread.h"
#include "join/JoinCommandLine.h"
#include "join/Outline.h"
#include "join/RunAndWait.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/Paths.h"
#include "platform/UniqueHandle.h"

namespace {

using folianto::bench::Stopwatch;

// quiet: what the tool says goes to the null device, not to this program's console.
bool RunDirectly(std::wstring commandLine, bool quiet = false) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
  const folianto::UniqueFileHandle nothing(
      quiet
          ? ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          &inherited, OPEN_EXISTING, 0, nullptr)
          : INVALID_HANDLE_VALUE);
  if (nothing) {
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nothing.Get();
  }
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, nothing ? TRUE : FALSE,
                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info)) {
    return false;
  }
  const folianto::UniqueKernelHandle process(info.hProcess);
  const folianto::UniqueKernelHandle thread(info.hThread);
  ::WaitForSingleObject(process.Get(), INFINITE);
  DWORD exitCode = 1;
  ::GetExitCodeProcess(process.Get(), &exitCode);
  return exitCode == 0;
}

bool Joined(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: bench_join.exe RUNS OUTPUT_FOLDER INPUT.pdf...\n");
    return 2;
  }
  const int runs = std::max(1, _wtoi(argv[1]));
  const std::wstring outputFolder = argv[2];
  const std::vector<std::wstring> inputs(argv + 3, argv + argc);

  const folianto::UiThreadSetup uiThread;
  folianto::bench::AnsweringDialogs dialogs;
  const std::wstring realTool = folianto::ApplicationFolder();
  const std::wstring quickTool = folianto::FolderOfPath(realTool) + L"\\bench-quick-tool";
  folianto::Form1 real(dialogs, realTool);
  folianto::Form1 quick(dialogs, quickTool);
  for (folianto::Form1* form : {&quick, &real}) {
    if (!form->Create(::GetModuleHandleW(nullptr)))
      return folianto::bench::Failed("creating Form1");
    form->Show(SW_SHOWNORMAL);
    form->ListView1.AppendAll(inputs);
  }

  // The outline the floor of the bookmarked join writes: an entry for each one-page input.
  std::vector<folianto::Bookmark> outline;
  for (const std::wstring& input : inputs) {
    outline.push_back({folianto::FileEntryTitle(input), 1, static_cast<int>(outline.size()) + 1});
  }
  const std::wstring outlineData = outputFolder + L"\\outline.txt";
  const std::wstring floorJoined = outputFolder + L"\\floor-joined.tmp";
  const std::string data = folianto::OutlineData(outline);
  if (FILE* file = ::_wfopen(outlineData.c_str(), L"wb")) {
    std::fwrite(data.data(), 1, data.size(), file);
    std::fclose(file);
  }
  const std::wstring tool = L"\"" + realTool + L"\\pdftk.exe\" A=\"" + floorJoined + L"\" ";

  // The ways of running the same join, in turns, each of them first in some rounds, so none
  // gains from another's warm caches: "Join!", RunAndWait alone (its wait without the rest of the
  // join command), and the command line started and waited for directly; then "Join!" and
  // RunAndWait alone with the stand-in tool; then "Join!" with a bookmark for each file, and the
  // three command lines it needs started directly: the join, the reading of the outline and the
  // writing of the new one.
  enum Way {
    kThroughJoin,
    kRunAndWait,
    kDirect,
    kQuickJoin,
    kQuickRunAndWait,
    kBookmarkJoin,
    kBookmarkFloor,
    kWays
  };
  std::vector<double> times[kWays];
  for (int round = 0; round < runs; ++round) {
    for (int turn = 0; turn < kWays; ++turn) {
      const int way = (round + turn) % kWays;
      const bool quickWay = way == kQuickJoin || way == kQuickRunAndWait;
      const std::wstring output = outputFolder + L"\\way " + std::to_wstring(way) + L" run " +
                                  std::to_wstring(round) + L".pdf";
      ::DeleteFileW(output.c_str());
      const std::wstring commandLine =
          folianto::BuildJoinCommandLine(quickWay ? quickTool : realTool, inputs, output);
      bool succeeded = false;
      // Each run starts from an idle window, as a click does: what the last one left to draw is
      // drawn first.
      folianto::PumpPendingMessages();
      const Stopwatch clock;
      if (way == kThroughJoin || way == kQuickJoin || way == kBookmarkJoin) {
        dialogs.outputPath = output;
        dialogs.bookmarkEachFile = way == kBookmarkJoin;
        dialogs.messages.clear();
        (quickWay ? quick : real).Check2.SetValue(1);
        succeeded = dialogs.messages == std::vector<std::wstring>{L"Join successful."};
      } else if (way == kRunAndWait || way == kQuickRunAndWait) {
        int hidden = 0;
        const folianto::RunResult result = folianto::RunAndWait(commandLine, hidden);
        succeeded = result.Succeeded();
      } else if (way == kBookmarkFloor) {
        const std::wstring join =
            folianto::BuildJoinCommandLine(realTool, inputs, floorJoined) + L" verbose";
        succeeded =
            RunDirectly(join, true) &&
            RunDirectly(tool + L"dump_data_utf8 output \"" + outputFolder + L"\\dump.txt\"",
                        true) &&
            RunDirectly(tool + L"update_info \"" + outlineData + L"\" output \"" + output + L"\"",
                        true);
      } else {
        succeeded = RunDirectly(commandLine);
      }
      times[way].push_back(clock.Milliseconds());
      if (!succeeded || !Joined(output)) return folianto::bench::Failed("a join did not succeed");
      // The stand-in's output is empty; only real joins are left to be looked into.
      if (quickWay) ::DeleteFileW(output.c_str());
    }
  }
  using folianto::bench::Best;
  char what[64];
  std::snprintf(what, sizeof(what), "Join of %zu PDF files", inputs.size());
  folianto::bench::Report("join", what, "Folianto", Best(times[kThroughJoin]),
                          "same pdftk command line run directly", Best(times[kDirect]), "ms", runs);
  folianto::bench::Report("join-wait", what, "RunAndWait alone", Best(times[kRunAndWait]),
                          "same pdftk command line run directly", Best(times[kDirect]), "ms", runs);
  std::snprintf(what, sizeof(what), "The same join with a tool that ends at once");
  folianto::bench::Report("join-beyond", what, "Folianto", Best(times[kQuickJoin]),
                          "RunAndWait alone", Best(times[kQuickRunAndWait]), "ms", runs);
  std::snprintf(what, sizeof(what), "Join of %zu with a bookmark for each file", inputs.size());
  folianto::bench::Report("bookmarks", what, "Folianto", Best(times[kBookmarkJoin]),
                          "the plain join via \"Join!\"", Best(times[kThroughJoin]), "ms", runs);
  folianto::bench::Report("bookmarks-floor", "Its floor: the three runs of the tool, directly",
                          "three command lines", Best(times[kBookmarkFloor]),
                          "the plain join's one, directly", Best(times[kDirect]), "ms", runs);
  ::DeleteFileW(floorJoined.c_str());
  ::DeleteFileW(outlineData.c_str());
  ::DeleteFileW((outputFolder + L"\\dump.txt").c_str());
  return 0;
}

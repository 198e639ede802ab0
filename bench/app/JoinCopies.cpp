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
#include "join/HeadlessJoin.h"
#include "join/SessionFileClaims.h"
#include "platform/Paths.h"

namespace folianto {
namespace {

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
      testing::SeamedNames seam(way == kShortForms, inputs);
      g_copies = 0;
      std::wstring told;
      const bench::Stopwatch clock;
      {
        testing::HeadlessHost host(joins, seam, output, false);
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

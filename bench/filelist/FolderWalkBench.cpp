// Times "Add All PDF File(s) In Folder" on a folder tree: the walk through the file system's own
// search, and the whole click with the appends to the main window's real list and its repaint.
// Usage: folder_walk_bench FOLDER [RUNS]   best of RUNS (5) of each measure
//        folder_walk_bench FOLDER once     one click and nothing else, to time the whole process
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "AnsweringDialogs.h"
#include "BenchSupport.h"
#include "app/Form1.h"
#include "filelist/FolderWalk.h"
#include "filelist/SystemDirectorySearch.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/UiThread.h"
#include "platform/UniqueHandle.h"

namespace {

using namespace folianto;

// The least a Windows program pays here to look into every folder: one bare search of each.
double TimeOneSearchPerFolder(const std::vector<std::wstring>& folders, size_t& entries) {
  entries = 0;
  const bench::Stopwatch clock;
  for (const std::wstring& folder : folders) {
    WIN32_FIND_DATAW data;
    const UniqueFindHandle search(::FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic,
                                                     &data, FindExSearchNameMatch, nullptr,
                                                     FIND_FIRST_EX_LARGE_FETCH));
    if (!search) continue;
    do {
      ++entries;
    } while (::FindNextFileW(search.Get(), &data));
  }
  return clock.Seconds();
}

// One click on a fresh window; returns the seconds from the click to the list's repaint.
double TimeClick(const std::wstring& folder, int& entries, int& messages) {
  bench::AnsweringDialogs dialogs;
  dialogs.folder = folder;
  Form1 form(dialogs, ApplicationFolder());
  if (!form.Create(::GetModuleHandleW(nullptr))) return -1;
  form.Show(SW_SHOWNOACTIVATE);
  PumpPendingMessages();
  const bench::Stopwatch clock;
  form.Check4.SetValue(1);
  ::UpdateWindow(form.ListView1.Handle());
  const double seconds = clock.Seconds();
  entries = form.ListView1.Count();
  messages = static_cast<int>(dialogs.messages.size());
  return seconds;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: folder_walk_bench FOLDER [RUNS|once]\n");
    return 2;
  }
  const std::wstring folder = argv[1];
  const bool once = argc > 2 && std::wcscmp(argv[2], L"once") == 0;
  const int runs = argc > 2 && !once ? std::max(1, _wtoi(argv[2])) : 5;
  const UiThreadSetup uiThread;

  if (once) {
    int entries = 0;
    int messages = 0;
    const double click = TimeClick(folder, entries, messages);
    std::printf("walk+append %.3f s, %d listed\n", click, entries);
    return click < 0 ? 1 : 0;
  }

  std::vector<std::wstring> folders{folder + L"\\"};
  CollectSubfolders(folders, true, SystemDirectorySearch());
  std::printf("folders walked: %zu\n", folders.size());

  double bestWalk = 1e9;
  double bestClick = 1e9;
  double bestFloor = 1e9;
  for (int run = 1; run <= runs; ++run) {
    const bench::Stopwatch clock;
    const size_t walked = AllPdfFilesInFolder(folder, SystemDirectorySearch()).size();
    const double walk = clock.Seconds();
    int entries = 0;
    int messages = 0;
    const double click = TimeClick(folder, entries, messages);
    if (click < 0) {
      std::fprintf(stderr, "the window could not be created\n");
      return 1;
    }
    size_t seen = 0;
    const double floor = TimeOneSearchPerFolder(folders, seen);
    std::printf(
        "run %d: walk %.3f s, walk+append %.3f s (%zu entries walked, %d listed%s), "
        "one bare search per folder %.3f s (%zu entries)\n",
        run, walk, click, walked, entries, messages ? ", a message was shown" : "", floor, seen);
    bestWalk = std::min(bestWalk, walk);
    bestClick = std::min(bestClick, click);
    bestFloor = std::min(bestFloor, floor);
  }
  std::printf("best walk: %.3f s\n", bestWalk);
  std::printf("best walk+append: %.3f s\n", bestClick);
  std::printf("best one bare search per folder: %.3f s\n", bestFloor);
  return 0;
}

// List fill: 10,000 entries appended to ListView1 through the File list interface, against a bare
// LVM_INSERTITEMW loop with redraw off on a list view of the same styles; then the peak working
// set of the process. Each mode runs in a process of its own, so the memory figures stay apart.
// Folianto's then makes 1,000 moves that can be undone, and its working set before and after them
// tells what the undo history keeps.
// Usage: bench_list_fill.exe [ROUNDS]   starts every mode in turns and reports them side by side
//        bench_list_fill.exe folianto|bare [RUNS]   one mode; prints
//            FILL <mode> <best ms> <peak working set MiB> <working set MiB before, after moves>
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/Form1.h"
#include "platform/Dialogs.h"
#include "platform/UiThread.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/UniqueHandle.h"

namespace {

using folianto::UniqueKernelHandle;
using folianto::bench::Stopwatch;

constexpr int kEntries = 10000;
constexpr int kRunsPerProcess = 3;
constexpr int kMoves = 1000;

enum class Mode { Folianto, Bare };

struct ModeName {
  Mode mode;
  const wchar_t* name;
};
constexpr ModeName kModes[] = {{Mode::Folianto, L"folianto"}, {Mode::Bare, L"bare"}};

std::vector<std::wstring> SamplePaths() {
  std::vector<std::wstring> paths;
  paths.reserve(kEntries);
  for (int i = 0; i < kEntries; ++i) {
    wchar_t path[MAX_PATH];
    std::swprintf(path, MAX_PATH, L"C:\\Users\\Public\\Documents\\Scans %03d\\page-%05d.pdf",
                  i / 100, i);
    paths.emplace_back(path);
  }
  return paths;
}

double WorkingSetMiB(bool peak) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters))) return 0;
  return static_cast<double>(peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize) /
         (1024.0 * 1024.0);
}

// The reference: a list view of ListView1's styles, columns and font, with nothing of the program.
class BareList {
 public:
  bool Create(HINSTANCE instance) {
    frame_ = ::CreateWindowExW(0, WC_STATICW, L"Bare list", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               CW_USEDEFAULT, CW_USEDEFAULT, 520, 280, nullptr, nullptr, instance,
                               nullptr);
    list_ =
        ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 8,
                          8, 433, 121, frame_, nullptr, instance, nullptr);
    if (!list_) return false;
    ::SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 400;
    column.pszText = const_cast<wchar_t*>(L"PDF File(s)");
    ::SendMessageW(list_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    column.cx = 0;
    ::SendMessageW(list_, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    LOGFONTW font{};
    font.lfHeight = -12;  // 9 points at 96 dpi
    font.lfWeight = FW_BOLD;
    font.lfCharSet = ANSI_CHARSET;
    wcscpy_s(font.lfFaceName, L"Arial");
    font_.Reset(::CreateFontIndirectW(&font));
    ::SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    return true;
  }
  HWND List() const { return list_; }

  void Fill(const std::vector<std::wstring>& paths) {
    ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    for (size_t i = 0; i < paths.size(); ++i) {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(i);
      item.pszText = const_cast<wchar_t*>(paths[i].c_str());
      ::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list_, nullptr, TRUE);
  }

 private:
  HWND frame_ = nullptr;
  HWND list_ = nullptr;
  folianto::UniqueFont font_;
};

struct Fill {
  double milliseconds = 0;
  double peakMiB = 0;
  double beforeMovesMiB = 0;
  double afterMovesMiB = 0;
};

// Runs this program in one mode and reads its FILL line.
bool RunMode(const wchar_t* mode, Fill& fill) {
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring commandLine = std::wstring(L"\"") + self + L"\" " + mode;

  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
  const UniqueKernelHandle reader(readEnd);
  UniqueKernelHandle writer(writeEnd);
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &info)) {
    return false;
  }
  const UniqueKernelHandle process(info.hProcess);
  const UniqueKernelHandle thread(info.hThread);
  // Only the child holds the write end now, so the reads below end with it.
  writer.Reset();

  std::string output;
  char chunk[256];
  DWORD read = 0;
  while (::ReadFile(readEnd, chunk, sizeof(chunk), &read, nullptr) && read > 0) {
    output.append(chunk, read);
  }
  ::WaitForSingleObject(process.Get(), INFINITE);
  char name[16] = {};
  return std::sscanf(output.c_str(), "FILL %15s %lf %lf %lf %lf", name, &fill.milliseconds,
                     &fill.peakMiB, &fill.beforeMovesMiB, &fill.afterMovesMiB) == 5;
}

int Compare(int rounds) {
  struct Figures {
    std::vector<double> times;
    double peak = 0;
    double beforeMoves = 0;
    double afterMoves = 0;
  } figures[std::size(kModes)];
  for (int round = 0; round < rounds; ++round) {
    for (size_t m = 0; m < std::size(kModes); ++m) {
      Fill fill;
      if (!RunMode(kModes[m].name, fill)) return folianto::bench::Failed("a fill did not finish");
      figures[m].times.push_back(fill.milliseconds);
      figures[m].peak = round == 0 ? fill.peakMiB : std::min(figures[m].peak, fill.peakMiB);
      figures[m].beforeMoves = fill.beforeMovesMiB;
      figures[m].afterMoves = fill.afterMovesMiB;
    }
  }
  const int runs = rounds * kRunsPerProcess;
  using folianto::bench::Best;
  folianto::bench::Report("listfill", "List fill, 10,000 entries", "Folianto",
                          Best(figures[0].times), "bare LVM_INSERTITEMW loop",
                          Best(figures[1].times), "ms", runs);
  folianto::bench::Report("memory", "Peak working set after the fill", "Folianto", figures[0].peak,
                          "bare list", figures[1].peak, "MiB", rounds);
  folianto::bench::Report("history", "Working set after 1,000 moves that can be undone", "Folianto",
                          figures[0].afterMoves, "before them", figures[0].beforeMoves, "MiB", 1);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const ModeName* chosen = nullptr;
  for (const ModeName& mode : kModes) {
    if (argc > 1 && std::wcscmp(argv[1], mode.name) == 0) chosen = &mode;
  }
  if (!chosen) return Compare(argc > 1 ? std::max(1, _wtoi(argv[1])) : 3);
  const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : kRunsPerProcess;

  const folianto::UiThreadSetup uiThread;
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const std::vector<std::wstring> paths = SamplePaths();

  folianto::Form1 form(folianto::SystemDialogs(folianto::kProgramTitle),
                       folianto::ApplicationFolder());
  BareList reference;
  HWND list = nullptr;
  if (chosen->mode == Mode::Folianto) {
    if (!form.Create(instance)) return folianto::bench::Failed("creating Form1");
    form.Show(SW_SHOWNORMAL);
    list = form.ListView1.Handle();
  } else {
    if (!reference.Create(instance)) {
      return folianto::bench::Failed("creating the bare list");
    }
    list = reference.List();
  }
  folianto::PumpPendingMessages();

  std::vector<double> times;
  double peak = 0;
  for (int run = 0; run < runs; ++run) {
    ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    folianto::PumpPendingMessages();
    const Stopwatch clock;
    if (chosen->mode == Mode::Folianto) {
      form.ListView1.AppendAll(paths);
    } else {
      reference.Fill(paths);
    }
    // The fill is done when the user sees it: the one repaint is part of it.
    ::UpdateWindow(list);
    times.push_back(clock.Milliseconds());
    if (::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) != kEntries) {
      return folianto::bench::Failed("the list does not hold every entry");
    }
    if (run == 0) peak = WorkingSetMiB(true);
  }
  double beforeMoves = 0;
  double afterMoves = 0;
  if (chosen->mode == Mode::Folianto) {
    beforeMoves = WorkingSetMiB(false);
    form.ListView1.Select(1);
    for (int move = 0; move < kMoves; ++move) {
      form.RunListCommand(move % 2 == 0 ? folianto::kMoveEntryToBottom : folianto::kMoveEntryToTop);
    }
    afterMoves = WorkingSetMiB(false);
  }
  char name[32];
  ::WideCharToMultiByte(CP_UTF8, 0, chosen->name, -1, name, sizeof(name), nullptr, nullptr);
  std::printf("FILL %s %.3f %.2f %.2f %.2f\n", name, folianto::bench::Best(times), peak,
              beforeMoves, afterMoves);
  return 0;
}

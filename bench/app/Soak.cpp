// Soak: many rounds of what a user does most, through Form1's real handlers: "Add All PDF File(s)
// In Folder" on a small tree, the list cleared entry by entry as double-clicks remove them, and
// three files joined by "Join!" through pdftk.exe. After the first 10 rounds and after the last it
// prints the process's kernel handles, GDI and USER objects and windows: a count that grows is a
// leak. With --check it fails when one has grown.
// Usage: bench_soak.exe ROUNDS TREE OUTPUT_FOLDER INPUT.pdf... [--check]
#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AnsweringDialogs.h"
#include "BenchSupport.h"
#include "app/Form1.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/UiThread.h"

namespace {

struct Counts {
  unsigned long handles = 0;
  unsigned long gdiObjects = 0;
  unsigned long userObjects = 0;
  unsigned long windows = 0;
  double workingSetMiB = 0;
};

// The process's entries in the system's handle list. Wine does not implement
// GetProcessHandleCount (it gives 0); this list it keeps.
unsigned long HandlesInSystemList() {
  struct Entry {
    ULONG ownerProcess;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
  };
  struct List {
    ULONG count;
    Entry entries[1];
  };
  using Query = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  constexpr ULONG kSystemHandleInformation = 16;
  constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
  std::vector<char> buffer(1 << 20);
  NTSTATUS status = kInfoLengthMismatch;
  while (query &&
         (status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                         nullptr)) == kInfoLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  if (!query || status != 0) return 0;
  const auto& list = *reinterpret_cast<const List*>(buffer.data());
  unsigned long count = 0;
  for (ULONG i = 0; i < list.count; ++i) {
    if (list.entries[i].ownerProcess == ::GetCurrentProcessId()) ++count;
  }
  return count;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process != ::GetCurrentProcessId()) return TRUE;
  ++*reinterpret_cast<unsigned long*>(count);
  ::EnumChildWindows(window, CountWindow, count);
  return TRUE;
}

Counts Measure() {
  Counts counts;
  DWORD handles = 0;
  if (::GetProcessHandleCount(::GetCurrentProcess(), &handles) && handles != 0) {
    counts.handles = handles;
  } else {
    counts.handles = HandlesInSystemList();
  }
  // Wine answers both with 0; Windows counts them.
  counts.gdiObjects = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  counts.userObjects = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
  ::EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&counts.windows));
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  if (::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory))) {
    counts.workingSetMiB = static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0);
  }
  return counts;
}

void Print(int rounds, const Counts& c) {
  std::printf(
      "after %3d rounds: %lu kernel handles, %lu GDI objects, %lu USER objects, %lu windows,"
      " %.1f MiB working set\n",
      rounds, c.handles, c.gdiObjects, c.userObjects, c.windows, c.workingSetMiB);
  std::fflush(stdout);
}

// Empties the list the way a user does: a double-click on each entry in turn.
void ClearList(folianto::Form1& form) {
  while (form.ListView1.Count() > 0) {
    form.ListView1.Select(1);
    form.ListView1DblClick(0);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: bench_soak.exe ROUNDS TREE OUTPUT_FOLDER INPUT.pdf... [--check]\n");
    return 2;
  }
  const int rounds = std::max(10, _wtoi(argv[1]));
  const bool check = std::wstring(argv[argc - 1]) == L"--check";
  std::vector<std::wstring> inputs(argv + 4, argv + argc - (check ? 1 : 0));
  const std::wstring output = std::wstring(argv[3]) + L"\\soak.pdf";

  const folianto::UiThreadSetup uiThread;
  folianto::bench::AnsweringDialogs dialogs;
  dialogs.folder = argv[2];
  dialogs.outputPath = output;
  folianto::Form1 form(dialogs, folianto::ApplicationFolder());
  if (!form.Create(::GetModuleHandleW(nullptr))) return folianto::bench::Failed("creating Form1");
  form.Show(SW_SHOWNORMAL);

  Counts first;
  for (int round = 1; round <= rounds; ++round) {
    form.Check4.SetValue(1);
    if (form.ListView1.Count() <= static_cast<int>(inputs.size())) {
      return folianto::bench::Failed("the folder added nothing");
    }
    ClearList(form);
    form.ListView1.AppendAll(inputs);
    ::DeleteFileW(output.c_str());
    dialogs.messages.clear();
    form.Check2.SetValue(1);
    if (dialogs.messages != std::vector<std::wstring>{L"Join successful."}) {
      for (const std::wstring& message : dialogs.messages)
        std::fwprintf(stderr, L"round %d: %ls\n", round, message.c_str());
      return folianto::bench::Failed("a join did not succeed");
    }
    folianto::PumpPendingMessages();
    if (round == 10) Print(round, first = Measure());
  }
  const Counts last = Measure();
  Print(rounds, last);
  std::printf("RESULT soak-handles %lu %lu count\nRESULT soak-windows %lu %lu count\n",
              last.handles, first.handles, last.windows, first.windows);
  const bool grew = last.handles > first.handles || last.gdiObjects > first.gdiObjects ||
                    last.userObjects > first.userObjects || last.windows > first.windows;
  if (check && grew) {
    std::fprintf(stderr, "a count grew between round 10 and round %d\n", rounds);
    return 1;
  }
  return 0;
}

// Join overhead: a join of small PDFs through the real "Join!" path (Form1's Check2 with the save
// dialog and the message answered here, RunAndWait polling every 100 ms) against the same pdftk.exe
// command line started directly and waited for, in turns.
// Usage: bench_join.exe RUNS OUTPUT_FOLDER INPUT.pdf...   (pdftk.exe stands beside this program)
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/Form1.h"
#include "join/JoinCommandLine.h"
#include "platform/FileSystem.h"
#include "platform/UniqueHandle.h"

namespace {

using folianto::bench::Stopwatch;

// Answers the save dialog with the next output path and keeps the messages instead of showing
// them, so only the join itself is timed.
class AnsweringDialogs final : public folianto::DialogHost {
 public:
  std::wstring outputPath;
  std::vector<std::wstring> messages;

  folianto::DialogOutcome ShowOpen(HWND, folianto::CommonDialog&) override {
    return {folianto::DialogResult::Cancelled, 0};
  }
  folianto::DialogOutcome ShowSave(HWND, folianto::CommonDialog& dialog) override {
    dialog.fileName = outputPath;
    return {folianto::DialogResult::Chosen, 0};
  }
  std::wstring BrowseFolder(HWND, const std::wstring&) override { return {}; }
  void ShowMessage(HWND, const std::wstring& text) override { messages.push_back(text); }
};

bool RunDirectly(std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &info)) {
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

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                      ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  AnsweringDialogs dialogs;
  folianto::Form1 form(dialogs, folianto::ApplicationFolder());
  if (!form.Create(::GetModuleHandleW(nullptr))) return folianto::bench::Failed("creating Form1");
  form.Show(SW_SHOWNORMAL);
  form.ListView1.AppendAll(inputs);

  std::vector<double> throughJoin;
  std::vector<double> direct;
  // In turns, and each side first every other run, so neither gains from the other's warm caches.
  for (int run = 0; run < 2 * runs; ++run) {
    const std::wstring number = std::to_wstring(run / 2);
    if ((run % 2 == 0) == (run / 2 % 2 == 0)) {
      dialogs.outputPath = outputFolder + L"\\joined " + number + L".pdf";
      ::DeleteFileW(dialogs.outputPath.c_str());
      dialogs.messages.clear();
      const Stopwatch clock;
      form.Check2.SetValue(1);
      throughJoin.push_back(clock.Milliseconds());
      if (dialogs.messages != std::vector<std::wstring>{L"Join successful."} ||
          !Joined(dialogs.outputPath)) {
        return folianto::bench::Failed("the join through \"Join!\" did not succeed");
      }
    } else {
      const std::wstring output = outputFolder + L"\\direct " + number + L".pdf";
      ::DeleteFileW(output.c_str());
      const std::wstring commandLine =
          folianto::BuildJoinCommandLine(folianto::ApplicationFolder(), inputs, output);
      const Stopwatch clock;
      const bool ok = RunDirectly(commandLine);
      direct.push_back(clock.Milliseconds());
      if (!ok || !Joined(output)) return folianto::bench::Failed("the direct pdftk run");
    }
  }
  char what[64];
  std::snprintf(what, sizeof(what), "Join of %zu PDF files", inputs.size());
  folianto::bench::Report("join", what, "Folianto", folianto::bench::Best(throughJoin),
                          "same pdftk command line run directly", folianto::bench::Best(direct),
                          "ms", runs);
  return 0;
}

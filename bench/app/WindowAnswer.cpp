// The window's answer while a join waits: a second program (this one, started with "send") sends
// Form1's window WM_NULL with SendMessageTimeout every 5 ms and times each round trip, first while
// the window is idle in its message loop, then while "Join!" waits 5 s for a stand-in pdftk.exe
// (bench_quick_tool, told to take that long). Reports the 95th percentile and the longest round
// trip of each, the best of the rounds.
// Usage: bench_window_answer.exe ROUNDS OUTPUT_FOLDER INPUT.pdf   (the stand-in in
// ../bench-quick-tool)
//        bench_window_answer.exe send WINDOW EVENTS FILE          (the second program)
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "AnsweringDialogs.h"
#include "BenchSupport.h"
#include "app/Form1.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/UiThread.h"

namespace {

using folianto::UniqueKernelHandle;

constexpr DWORD kSendEveryMs = 5;
constexpr int kToolMs = 5000;

// The second program: from the moment it sets EVENTS-ready until EVENTS-stop is set, it sends
// WINDOW WM_NULL every 5 ms, and writes each round trip in milliseconds to FILE.
int Send(HWND window, const std::wstring& events, const std::wstring& file) {
  const UniqueKernelHandle ready(
      ::OpenEventW(EVENT_MODIFY_STATE, FALSE, (events + L"-ready").c_str()));
  const UniqueKernelHandle stop(::OpenEventW(SYNCHRONIZE, FALSE, (events + L"-stop").c_str()));
  if (!ready || !stop) return folianto::bench::Failed("opening the events");
  std::vector<double> trips;
  ::SetEvent(ready.Get());
  while (::WaitForSingleObject(stop.Get(), kSendEveryMs) == WAIT_TIMEOUT) {
    const folianto::bench::Stopwatch clock;
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result))
      return folianto::bench::Failed("sending WM_NULL");
    trips.push_back(clock.Milliseconds());
  }
  FILE* output = ::_wfopen(file.c_str(), L"w");
  if (!output) return folianto::bench::Failed("writing the round trips");
  for (const double trip : trips)
    std::fprintf(output, "%.4f\n", trip);
  std::fclose(output);
  return 0;
}

struct Answers {
  double percentile95 = 0;
  double longest = 0;
};

// The round trips the second program timed while whileSending ran on this thread.
bool Measure(HWND window, const std::function<void()>& whileSending, Answers& answers) {
  const std::wstring events = L"FoliantoAnswer-" + std::to_wstring(::GetCurrentProcessId());
  const UniqueKernelHandle ready(
      ::CreateEventW(nullptr, TRUE, FALSE, (events + L"-ready").c_str()));
  const UniqueKernelHandle stop(::CreateEventW(nullptr, TRUE, FALSE, (events + L"-stop").c_str()));
  const std::wstring file = folianto::TemporaryFolder() + L"\\" + events + L".txt";
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const folianto::StartedProcess sender =
      folianto::StartProcess(L"\"" + std::wstring(self) + L"\" send " +
                                 std::to_wstring(reinterpret_cast<uintptr_t>(window)) + L" " +
                                 events + L" \"" + file + L"\"",
                             SW_HIDE, 0, nullptr, {}, L"");
  if (!sender.process || ::WaitForSingleObject(ready.Get(), 30000) != WAIT_OBJECT_0) return false;
  whileSending();
  ::SetEvent(stop.Get());
  // Its last message is answered meanwhile.
  folianto::WaitRunningMessages(sender.process.Get());
  const folianto::ProcessExitCode ended = folianto::ExitCodeOf(sender.process.Get());
  if (!ended.read || ended.code != 0) return false;

  std::vector<double> trips;
  if (FILE* input = ::_wfopen(file.c_str(), L"r")) {
    for (double trip = 0; std::fscanf(input, "%lf", &trip) == 1;)
      trips.push_back(trip);
    std::fclose(input);
  }
  ::DeleteFileW(file.c_str());
  if (trips.size() < 20) return false;
  std::sort(trips.begin(), trips.end());
  const size_t at95 = static_cast<size_t>(std::ceil(0.95 * static_cast<double>(trips.size()))) - 1;
  answers = {trips[at95], trips.back()};
  std::printf("  %zu round trips: 95th percentile %.2f ms, longest %.2f ms\n", trips.size(),
              answers.percentile95, answers.longest);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 5 && std::wcscmp(argv[1], L"send") == 0) {
    return Send(reinterpret_cast<HWND>(std::wcstoull(argv[2], nullptr, 10)), argv[3], argv[4]);
  }
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_window_answer.exe ROUNDS OUTPUT_FOLDER INPUT.pdf\n");
    return 2;
  }
  const int rounds = std::max(1, _wtoi(argv[1]));
  const std::wstring output = std::wstring(argv[2]) + L"\\answer.pdf";

  const folianto::UiThreadSetup uiThread;
  folianto::bench::AnsweringDialogs dialogs;
  dialogs.outputPath = output;
  folianto::Form1 form(
      dialogs, folianto::FolderOfPath(folianto::ApplicationFolder()) + L"\\bench-quick-tool");
  if (!form.Create(::GetModuleHandleW(nullptr))) return folianto::bench::Failed("creating Form1");
  form.Show(SW_SHOWNORMAL);
  form.ListView1.Append(argv[3]);
  ::SetEnvironmentVariableW(L"FOLIANTO_STAND_IN_MS", std::to_wstring(kToolMs).c_str());

  const auto idle = [] {
    ::SetTimer(nullptr, 0, kToolMs, [](HWND, UINT, UINT_PTR id, DWORD) {
      ::KillTimer(nullptr, id);
      ::PostQuitMessage(0);
    });
    folianto::RunMessageLoop();
  };
  const auto join = [&] {
    dialogs.messages.clear();
    form.Check2.SetValue(1);
  };
  Answers best[2] = {{1e9, 1e9}, {1e9, 1e9}};
  for (int round = 0; round < rounds; ++round) {
    for (int way = 0; way < 2; ++way) {
      std::printf("%s, round %d\n", way == 0 ? "Idle" : "While a join waits", round + 1);
      Answers answers;
      if (!Measure(form.Handle(), way == 0 ? std::function<void()>(idle) : join, answers))
        return folianto::bench::Failed("measuring the answers");
      if (way == 1 && dialogs.messages != std::vector<std::wstring>{L"Join successful."})
        return folianto::bench::Failed("the join");
      ::DeleteFileW(output.c_str());
      best[way].percentile95 = std::min(best[way].percentile95, answers.percentile95);
      best[way].longest = std::min(best[way].longest, answers.longest);
    }
  }
  const char* what = "The window's answer to WM_NULL every 5 ms";
  folianto::bench::Report("answer", what, "while a join waits, 95th percentile",
                          best[1].percentile95, "idle", best[0].percentile95, "ms", rounds);
  folianto::bench::Report("answer-longest", what, "while a join waits, longest", best[1].longest,
                          "idle", best[0].longest, "ms", rounds);
  return 0;
}

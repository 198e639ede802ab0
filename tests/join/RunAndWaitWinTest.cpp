#include "join/RunAndWait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "platform/UniqueHandle.h"
#include "support/WinTestSupport.h"

namespace folianto {
namespace {

using testing::TempFolder;
using testing::TestProgramFolder;

std::wstring Helper(const std::wstring& arguments) {
  return L"\"" + TestProgramFolder() + L"\\join_run_helper.exe\" " + arguments;
}

bool HasQueuedMessage(UINT message) {
  MSG msg;
  return ::PeekMessageW(&msg, nullptr, message, message, PM_NOREMOVE) != FALSE;
}

// What the timer procedures below saw while a run waited.
int g_ticks = 0;
const wchar_t* g_innerCommand = L"";
RunResult g_inner;
LONGLONG g_innerReturned = 0;

double Milliseconds(LONGLONG ticks) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

LONGLONG Now() {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return now.QuadPart;
}

TEST(RunAndWait, ReturnsTheExitCodeAsSoonAsTheProgramEnds) {
  const TempFolder folder;
  const std::wstring ended = folder.Path() + L"\\ended";
  for (const int code : {0, 3, 259, 1000000}) {
    SCOPED_TRACE(code);
    int hidden = 0;
    const RunResult result =
        RunAndWait(Helper(L"exit " + std::to_wstring(code) + L" \"" + ended + L"\""), hidden);
    const double late = Milliseconds(Now() - std::stoll(testing::ReadFileBytes(ended)));
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.code, code);
    // Within a few milliseconds, not at a poll 100 ms on; the bound leaves room for a busy machine.
    EXPECT_LT(late, 50.0);
  }
}

// A second thread sends a window of this thread a message every 5 ms, as a drag over it would.
TEST(RunAndWait, AnswersEveryMessageWithinAFrame) {
  const HWND window =
      ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  std::vector<double> answers;
  std::thread sender([&] {
    for (const LONGLONG start = Now(); Milliseconds(Now() - start) < 1500; ::Sleep(5)) {
      const LONGLONG sent = Now();
      DWORD_PTR result = 0;
      ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result);
      answers.push_back(Milliseconds(Now() - sent));
    }
  });
  int hidden = 0;
  EXPECT_EQ(RunAndWait(Helper(L"sleep 2000 0"), hidden).code, 0);
  sender.join();
  ::DestroyWindow(window);
  ASSERT_GT(answers.size(), 50u);
  // The median: a loaded machine may hold up a few, but not half.
  std::nth_element(answers.begin(), answers.begin() + answers.size() / 2, answers.end());
  EXPECT_LT(answers[answers.size() / 2], 16.0) << "one frame at 60 Hz";
}

TEST(RunAndWait, WaitsWithoutSpinning) {
  const auto cpuMs = [] {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ms = [](const FILETIME& time) {
      return static_cast<double>(time.dwLowDateTime + (uint64_t{time.dwHighDateTime} << 32)) /
             10000.0;
    };
    return ms(kernel) + ms(user);
  };
  const double before = cpuMs();
  int hidden = 0;
  EXPECT_EQ(RunAndWait(Helper(L"sleep 5000 0"), hidden).code, 0);
  EXPECT_LT(cpuMs() - before, 100.0) << "2 % of one core over the 5 s";
}

TEST(RunAndWait, KeepsTheWindowsMessagesRunningWhileItWaits) {
  g_ticks = 0;
  const UINT_PTR timer =
      ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; });
  int hidden = 0;
  const RunResult result = RunAndWait(Helper(L"sleep 2000 4"), hidden);
  ::KillTimer(nullptr, timer);
  EXPECT_EQ(result.code, 4);
  EXPECT_GE(g_ticks, 3);
}

TEST(RunAndWait, EachNestedWaitEndsWithItsOwnProgram) {
  const struct {
    const wchar_t* inner;
    const wchar_t* outer;
    bool outerEndsFirst;
  } cases[] = {
      {L"exit 5", L"sleep 1500 6", false},
      {L"sleep 1000 5", L"sleep 300 6", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.outerEndsFirst);
    g_inner = {};
    g_innerCommand = c.inner;
    ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
      ::KillTimer(nullptr, id);
      int hidden = 0;
      g_inner = RunAndWait(Helper(g_innerCommand), hidden);
      g_innerReturned = Now();
    });
    int hidden = 0;
    const RunResult outer = RunAndWait(Helper(c.outer), hidden);
    const double afterInner = Milliseconds(Now() - g_innerReturned);
    EXPECT_TRUE(g_inner.started);
    EXPECT_EQ(g_inner.code, 5);
    EXPECT_EQ(outer.code, 6);
    if (c.outerEndsFirst) {
      EXPECT_LT(afterInner, 50.0) << "seen as soon as the inner wait returned";
    }
  }
}

TEST(RunAndWait, AProgramThatCannotStartGivesItsErrorAtOnceWithoutWaiting) {
  TempFolder folder;
  folder.MakeFolder(L"folder.exe");
  folder.WriteFile(L"junk.exe", "not a program");
  const struct {
    const char* name;
    std::wstring commandLine;
    uint32_t code;
    uint32_t systemError;
  } cases[] = {
      {"missing program", L"\"" + folder.Path() + L"\\missing.exe\" a b", 0x80040035,
       ERROR_FILE_NOT_FOUND},
      {"a folder in its place", L"\"" + folder.Path() + L"\\folder.exe\"", 0x80040046,
       ERROR_ACCESS_DENIED},
      {"not a program", L"\"" + folder.Path() + L"\\junk.exe\"", 0x80040005, ERROR_BAD_EXE_FORMAT},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP + 1, 0, 0);
    int hidden = 0;
    const RunResult result = RunAndWait(c.commandLine, hidden);
    EXPECT_FALSE(result.started);
    EXPECT_EQ(static_cast<uint32_t>(result.code), c.code);
    EXPECT_EQ(result.systemError, c.systemError);
    EXPECT_TRUE(HasQueuedMessage(WM_APP + 1)) << "no message was let run";
    testing::Pump();
  }
}

// A handle that cannot be waited for, or whose exit code cannot be read, leaves the program's end
// unknown: never an exit code, least of all the 0 of success. The program here ends with 0.
TEST(RunAndWait, AnEndThatCannotBeLearnedIsNoExitCode) {
  const struct {
    const char* name;
    DWORD rights;
    bool ended;
    uint32_t systemError;
  } cases[] = {
      {"both rights", SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, true, 0},
      {"no right to wait", PROCESS_QUERY_LIMITED_INFORMATION, false, ERROR_ACCESS_DENIED},
      {"no right to read the exit code", SYNCHRONIZE, false, ERROR_ACCESS_DENIED},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const UniqueKernelHandle program = testing::StartProgram(Helper(L"exit 0"));
    ASSERT_TRUE(program);
    const UniqueKernelHandle handle(::OpenProcess(c.rights, FALSE, ::GetProcessId(program.Get())));
    ASSERT_TRUE(handle);
    const RunResult result = WaitForEnd(handle.Get());
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.ended, c.ended);
    EXPECT_EQ(result.systemError, c.systemError);
    EXPECT_EQ(result.Succeeded(), c.ended);
    ::WaitForSingleObject(program.Get(), 10000);
  }
}

TEST(RunAndWait, StartsTheProgramWithTheShowCommandOfItsStyle) {
  const struct {
    int style;
    int showCommand;
    int correctedStyle;
  } cases[] = {
      {0, SW_HIDE, 0},
      {1, SW_SHOWNORMAL, 1},
      {2, SW_SHOWMINIMIZED, 2},
      {3, SW_SHOWMAXIMIZED, 3},
      {4, SW_SHOWNOACTIVATE, 4},
      {5, SW_SHOW, 5},
      {6, SW_SHOWMINNOACTIVE, 6},
      {7, SW_SHOWMINNOACTIVE, 6},
      {-1, SW_SHOWMINNOACTIVE, 6},
  };
  // Several rounds, so that a start refused now and then (one once failed CI) shows within a run
  // or two, not once in hundreds.
  for (int round = 0; round < 4; ++round) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.style);
      int style = c.style;
      const RunResult result = RunAndWait(Helper(L"startup"), style);
      EXPECT_EQ(result.code, 100 + c.showCommand)
          << "STARTF_USESHOWWINDOW and the show command; system error " << result.systemError;
      EXPECT_EQ(style, c.correctedStyle) << "the caller's variable holds the style used";
    }
  }
}

TEST(RunAndWait, HandsTheProgramTheStandardHandlesItIsGiven) {
  const TempFolder folder;
  const std::wstring capturePath = folder.Path() + L"\\capture.txt";
  const UniqueFileHandle capture(::CreateFileW(capturePath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               CREATE_ALWAYS, 0, nullptr));
  const UniqueFileHandle nul(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(capture);
  ASSERT_TRUE(nul);
  const StdHandles handles{nul.Get(), capture.Get(), capture.Get()};

  RunOptions options;
  options.stdHandles = &handles;
  int hidden = 0;
  EXPECT_EQ(RunAndWait(Helper(L"write hello"), hidden, options).code, 0);
  EXPECT_EQ(RunAndWait(Helper(L"stdin"), hidden, options).code, 0) << "the null device is empty";
  EXPECT_EQ(RunAndWait(Helper(L"startup"), hidden, options).code, 1100 + SW_HIDE);

  // Beside them it holds what it is given to hold, and nothing else of this program's, however
  // inheritable (a pipe a script handed this program, say).
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  const UniqueKernelHandle stray(::CreateEventW(&inheritable, TRUE, FALSE, nullptr));
  const UniqueKernelHandle held(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  options.held = {held.Get()};
  const auto hex = [](HANDLE handle) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%llx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle)));
    return std::wstring(text);
  };
  EXPECT_EQ(
      RunAndWait(Helper(L"set " + hex(held.Get()) + L" " + hex(stray.Get())), hidden, options).code,
      0);
  EXPECT_EQ(::WaitForSingleObject(held.Get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(::WaitForSingleObject(stray.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  // Inheritable only for the moment of the start, so no later program gets them.
  for (HANDLE handle : {capture.Get(), nul.Get(), held.Get()}) {
    DWORD flags = 0;
    ASSERT_TRUE(::GetHandleInformation(handle, &flags));
    EXPECT_EQ(flags & HANDLE_FLAG_INHERIT, 0u);
  }
  char text[64] = {};
  DWORD read = 0;
  ::SetFilePointer(capture.Get(), 0, nullptr, FILE_BEGIN);
  ::ReadFile(capture.Get(), text, sizeof(text) - 1, &read, nullptr);
  EXPECT_STREQ(text, "helloerr:hello");
}

// A WM_QUIT (a window that posts it when closed) ends the program at once, also while it waits;
// the program it waits for is not stopped and ends on its own. Run in a program of its own, since
// the wait ends it.
TEST(RunAndWait, ClosingTheWindowDuringTheWaitEndsTheProgramAtOnce) {
  const std::wstring event = L"FoliantoQuitProbe-" + std::to_wstring(::GetCurrentProcessId());
  const UniqueKernelHandle release(::CreateEventW(nullptr, TRUE, FALSE, event.c_str()));
  const UniqueKernelHandle done(::CreateEventW(nullptr, TRUE, FALSE, (event + L"-done").c_str()));
  ASSERT_TRUE(release);
  ASSERT_TRUE(done);

  const UniqueKernelHandle probe =
      testing::StartProgram(L"\"" + TestProgramFolder() + L"\\join_quit_probe.exe\" " + event);
  ASSERT_TRUE(probe);

  // A generous bound only guards against a hang: the helper would hold the probe for a minute.
  const DWORD ended = ::WaitForSingleObject(probe.Get(), 20000);
  if (ended != WAIT_OBJECT_0) ::TerminateProcess(probe.Get(), 1);
  ASSERT_EQ(ended, static_cast<DWORD>(WAIT_OBJECT_0));
  DWORD exitCode = 0;
  ::GetExitCodeProcess(probe.Get(), &exitCode);
  EXPECT_EQ(exitCode, 7u) << "the exit code of WM_QUIT, not the end of the wait";

  ::SetEvent(release.Get());
  EXPECT_EQ(::WaitForSingleObject(done.Get(), 20000), static_cast<DWORD>(WAIT_OBJECT_0))
      << "the program waited for was still running and ended on its own";
}

}  // namespace
}  // namespace folianto

#include "join/RunAndWait.h"

#include <gtest/gtest.h>

#include <string>

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
RunResult g_inner;

double Milliseconds(LONGLONG ticks) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

TEST(RunAndWait, ReturnsTheExitCodeOfTheProgramAfterOneWholePoll) {
  for (const int code : {0, 3, 259, 1000000}) {
    SCOPED_TRACE(code);
    int hidden = 0;
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    const RunResult result = RunAndWait(Helper(L"exit " + std::to_wstring(code)), hidden);
    ::QueryPerformanceCounter(&end);
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.code, code);
    // Read, pump, sleep 100 ms, test: even a program that ends at once is waited for that long.
    EXPECT_GE(Milliseconds(end.QuadPart - start.QuadPart), 100.0);
  }
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

TEST(RunAndWait, AWaitNestedInsideAnotherEndsWithItsOwnProgram) {
  g_inner = {};
  ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    int hidden = 0;
    g_inner = RunAndWait(Helper(L"exit 5"), hidden);
  });
  int hidden = 0;
  const RunResult outer = RunAndWait(Helper(L"sleep 1500 6"), hidden);
  EXPECT_TRUE(g_inner.started);
  EXPECT_EQ(g_inner.code, 5);
  EXPECT_EQ(outer.code, 6);
}

TEST(RunAndWait, AProgramThatCannotStartGivesItsErrorAtOnceWithoutWaiting) {
  TempFolder folder;
  folder.MakeFolder(L"folder.exe");
  folder.WriteFile(L"junk.exe", "not a program");
  const struct {
    const char* name;
    std::wstring commandLine;
    uint32_t code;
  } cases[] = {
      {"missing program", L"\"" + folder.Path() + L"\\missing.exe\" a b", 0x80040035},
      {"a folder in its place", L"\"" + folder.Path() + L"\\folder.exe\"", 0x80040046},
      {"not a program", L"\"" + folder.Path() + L"\\junk.exe\"", 0x80040005},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP + 1, 0, 0);
    int hidden = 0;
    const RunResult result = RunAndWait(c.commandLine, hidden);
    EXPECT_FALSE(result.started);
    EXPECT_EQ(static_cast<uint32_t>(result.code), c.code);
    EXPECT_TRUE(HasQueuedMessage(WM_APP + 1)) << "no message was let run";
    testing::Pump();
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
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    int style = c.style;
    const RunResult result = RunAndWait(Helper(L"startup"), style);
    EXPECT_EQ(result.code, 100 + c.showCommand) << "STARTF_USESHOWWINDOW and the show command";
    EXPECT_EQ(style, c.correctedStyle) << "the caller's variable holds the style used";
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

  // Inheritable only for the moment of the start, so no later program gets them.
  for (HANDLE handle : {capture.Get(), nul.Get()}) {
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

#include "join/RunAndWait.h"

#include <iterator>

#include "platform/MessagePump.h"

namespace folianto {

namespace {

// The show command of each window style, indexed by style.
constexpr WORD kShowCommands[] = {SW_HIDE,           SW_SHOWNORMAL,     SW_SHOWMINIMIZED,
                                  SW_SHOWMAXIMIZED,  SW_SHOWNOACTIVATE, SW_SHOW,
                                  SW_SHOWMINNOACTIVE};
static_assert(std::size(kShowCommands) == kDefaultWindowStyle + 1);

}  // namespace

RunResult RunAndWait(const std::wstring& commandLine, int& windowStyle, const RunOptions& options) {
  CorrectWindowStyle(windowStyle);
  if (options.giveUp && ::WaitForSingleObject(options.giveUp, 0) == WAIT_OBJECT_0)
    return GivenUp(false);
  // Hidden means no console window either, not even for a moment.
  DWORD flags = windowStyle == 0 ? CREATE_NO_WINDOW : 0;
  // Told before the program runs its first instruction, so that what onStarted does (a claim, a
  // record) is in place before the program can write anything.
  if (options.onStarted) flags |= CREATE_SUSPENDED;
  StartedProcess started = StartProcess(commandLine, kShowCommands[windowStyle], flags,
                                        options.stdHandles, options.currentFolder);
  if (!started.process) return StartFailedWith(started.error);
  if (options.onStarted) {
    options.onStarted(started.process.Get());
    if (const DWORD error = Resume(started)) return StartFailedWith(error);
  }
  return WaitForEnd(started.process.Get(), options.giveUp);
}

RunResult WaitForEnd(HANDLE process, HANDLE giveUp) {
  // The handle, not the exit code, says when the program has ended: a program may really exit with
  // 259, the code that also means "still running".
  const HANDLE handles[] = {process, giveUp};
  const int woken = WaitRunningMessages(std::span(handles, giveUp ? 2 : 1));
  if (woken == 1) return GivenUp(true);
  if (woken != 0) return EndUnknown(::GetLastError());
  const ProcessExitCode exitCode = ExitCodeOf(process);
  if (!exitCode.read) return EndUnknown(exitCode.error);
  return ExitedWith(exitCode.code);
}

}  // namespace folianto

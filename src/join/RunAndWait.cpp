#include "join/RunAndWait.h"

#include <iterator>
#include <utility>

#include "join/WorkspaceRecord.h"
#include "platform/MessagePump.h"
#include "platform/OutputCapture.h"
#include "platform/Paths.h"

namespace folianto {

namespace {

// The show command of each window style, indexed by style.
constexpr WORD kShowCommands[] = {SW_HIDE,           SW_SHOWNORMAL,     SW_SHOWMINIMIZED,
                                  SW_SHOWMAXIMIZED,  SW_SHOWNOACTIVATE, SW_SHOW,
                                  SW_SHOWMINNOACTIVE};
static_assert(std::size(kShowCommands) == kDefaultWindowStyle + 1);

std::wstring OutputText(const OutputCapture& capture, ToolOutput kept) {
  switch (kept) {
    case ToolOutput::All:
      return capture.All();
    case ToolOutput::AllUtf8:
      return capture.AllUtf8();
    case ToolOutput::Tail:
      break;
  }
  return capture.Tail();
}

}  // namespace

RunResult RunAndWait(const std::wstring& commandLine, int& windowStyle, const RunOptions& options) {
  CorrectWindowStyle(windowStyle);
  if (options.giveUp && ::WaitForSingleObject(options.giveUp, 0) == WAIT_OBJECT_0)
    return GivenUp(false);
  // Hidden means no console window either, not even for a moment.
  DWORD flags = windowStyle == 0 ? CREATE_NO_WINDOW : 0;
  // Told before the program runs its first instruction, so that what onStarted does (a record) is
  // in place before the program can write anything.
  if (options.onStarted) flags |= CREATE_SUSPENDED;
  StartedProcess started = StartProcess(commandLine, kShowCommands[windowStyle], flags,
                                        options.stdHandles, options.held, options.currentFolder);
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

ToolRun RunToolHidden(const std::wstring& commandLine, const ToolRunOptions& options,
                      RunOptions run, const std::wstring& captureFolder) {
  // A prompt of the hidden tool reads end-of-file at once instead of waiting for ever.
  const UniqueFileHandle nothingToRead = OpenNullDevice();
  const HANDLE nothing = nothingToRead ? nothingToRead.Get() : nullptr;
  const UniqueFileHandle toRead =
      options.input ? InputHolding(std::move(*options.input)) : UniqueFileHandle();
  if (options.input && !toRead) return {StartFailedWith(ERROR_NOT_ENOUGH_MEMORY), L"", L""};
  // Apart, so that its messages, which hold paths in the code page, never decide how its data is
  // read.
  const auto capturePath = [&] {
    return captureFolder.empty() ? L"" : InFolder(captureFolder, MadeName(true));
  };
  OutputCapture output(capturePath());
  OutputCapture errors(capturePath());
  const StdHandles handles{toRead ? toRead.Get() : nothing,
                           output.Handle() ? output.Handle() : nothing,
                           errors.Handle() ? errors.Handle() : nothing};
  run.stdHandles = &handles;
  int hidden = 0;
  const RunResult result = RunAndWait(commandLine, hidden, run);
  ToolRun told{result, L"", L""};
  if (result.started) told = {result, OutputText(output, options.output), errors.Tail()};
  // A process the tool started may hold them a while longer (under Wine the ended tool itself
  // lets go a moment after its end is seen): they go on from beside the folder, which is then
  // free to go.
  if (!captureFolder.empty() && result.ended) {
    for (OutputCapture* capture : {&output, &errors})
      capture->MoveTo(InFolder(FolderOfPath(captureFolder), MadeName(true)));
  }
  return told;
}

}  // namespace folianto

#include "join/HiddenTool.h"

#include <utility>

#include "join/RunAndWait.h"
#include "join/WorkspaceRecord.h"
#include "platform/FileSystem.h"
#include "platform/OutputCapture.h"
#include "platform/Paths.h"

namespace folianto {

namespace {

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

// A new name for a file that takes what the tool writes, in the temporary folder, where the
// system removes it once the tool and this program have let go of it.
std::wstring CapturePath() {
  const std::wstring folder = TemporaryFolder();
  return folder.empty() ? L"" : InFolder(folder, MadeName(true));
}

}  // namespace

ToolRun RunToolHidden(const std::wstring& commandLine, const ToolRunOptions& options,
                      const std::wstring& toolFolder,
                      const std::function<void(HANDLE process)>& started, HANDLE giveUp) {
  // A prompt of the hidden tool reads end-of-file at once instead of waiting for ever.
  const UniqueFileHandle nothingToRead = OpenNullDevice();
  const HANDLE nothing = nothingToRead ? nothingToRead.Get() : nullptr;
  const UniqueFileHandle toRead =
      options.input ? InputHolding(std::move(*options.input)) : UniqueFileHandle();
  if (options.input && !toRead) return {StartFailedWith(ERROR_NOT_ENOUGH_MEMORY), L"", L""};
  // Apart, so that its messages, which hold paths in the code page, never decide how its data is
  // read.
  const OutputCapture output(CapturePath());
  const OutputCapture errors(CapturePath());
  const StdHandles handles{toRead ? toRead.Get() : nothing,
                           output.Handle() ? output.Handle() : nothing,
                           errors.Handle() ? errors.Handle() : nothing};
  int hidden = 0;
  const RunResult result = RunAndWait(commandLine, hidden, {&handles, toolFolder, started, giveUp});
  if (!result.started) return {result, L"", L""};
  return {result, OutputText(output, options.output), errors.Tail()};
}

}  // namespace folianto

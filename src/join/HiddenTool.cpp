#include "join/HiddenTool.h"

#include "join/RunAndWait.h"
#include "platform/OutputCapture.h"

namespace folianto {

ToolRun RunToolHidden(const std::wstring& commandLine, const ToolRunOptions& options,
                      const std::wstring& toolFolder,
                      const std::function<void(HANDLE process)>& started) {
  // A prompt of the hidden tool reads end-of-file at once instead of waiting for ever.
  const UniqueFileHandle nothingToRead = OpenNullDevice();
  const HANDLE nothing = nothingToRead ? nothingToRead.Get() : nullptr;
  const UniqueFileHandle toRead =
      options.input ? InputHolding(options.input->Text()) : UniqueFileHandle();
  if (options.input && !toRead) return {StartFailedWith(ERROR_NOT_ENOUGH_MEMORY), L""};
  const OutputCapture capture;
  const HANDLE output = capture.Handle() ? capture.Handle() : nothing;
  const StdHandles handles{toRead ? toRead.Get() : nothing, output, output};
  int hidden = 0;
  const RunResult result = RunAndWait(commandLine, hidden, {&handles, toolFolder, started});
  if (!result.started) return {result, L""};
  return {result, options.wholeOutput ? capture.All() : capture.Tail()};
}

}  // namespace folianto

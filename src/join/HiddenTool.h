#pragma once

#include <functional>
#include <string>

#include "join/JoinCommand.h"
#include "platform/UniqueHandle.h"

namespace folianto {

// Runs the command line of pdftk.exe hidden, with toolFolder as its current folder (never the last
// folder a dialog browsed: the current folder is searched for the DLLs a program loads), and waits
// for its end with the window's messages running. The tool reads options.input on its standard
// input, or meets its end at once; what it writes is kept. started is told the tool's process
// before the tool runs. Once giveUp is signalled, the wait ends and no tool starts.
ToolRun RunToolHidden(const std::wstring& commandLine, const ToolRunOptions& options,
                      const std::wstring& toolFolder,
                      const std::function<void(HANDLE process)>& started, HANDLE giveUp = nullptr);

}  // namespace folianto

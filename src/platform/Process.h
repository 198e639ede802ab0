#pragma once

#include <windows.h>

#include <string>

#include "platform/UniqueHandle.h"

namespace folianto {

// Handles a started program gets as its standard input, output and error.
struct StdHandles {
  HANDLE input = nullptr;
  HANDLE output = nullptr;
  HANDLE error = nullptr;
};

// A started process, or the system's error number when it could not be started.
struct StartedProcess {
  UniqueKernelHandle process;
  DWORD error = ERROR_SUCCESS;
};

// Starts the program of commandLine (program first, as one text) with the given show command.
// stdHandles, when given, are inherited by the program and by nothing else. currentFolder, when
// not empty, is the program's current folder; otherwise it shares this program's.
StartedProcess StartProcess(const std::wstring& commandLine, WORD showCommand, DWORD creationFlags,
                            const StdHandles* stdHandles, const std::wstring& currentFolder);

struct ProcessState {
  bool running = false;
  DWORD exitCode = 0;
};

// Whether the process is still running, and its exit code as it stands. An unreadable process
// counts as ended with code 0, so a wait on it cannot last forever.
ProcessState ReadProcessState(HANDLE process);

}  // namespace folianto

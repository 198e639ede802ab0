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

// The exit code of a process that has ended, or the system's error number when it cannot be read.
struct ProcessExitCode {
  bool read = false;
  DWORD code = 0;
  DWORD error = ERROR_SUCCESS;
};
ProcessExitCode ExitCodeOf(HANDLE process);

}  // namespace folianto

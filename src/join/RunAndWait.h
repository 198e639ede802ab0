#pragma once

#include <functional>
#include <string>
#include <vector>

#include "join/RunResult.h"
#include "platform/Process.h"

namespace folianto {

// What a run may ask beyond its command line and window style.
struct RunOptions {
  // When given, the program's standard input, output and error.
  const StdHandles* stdHandles = nullptr;
  // Handles of objects that must live as long as the program does (a join's claims): it holds
  // them too. With the standard handles, all it inherits of this program's handles.
  std::vector<HANDLE> held;
  // The program's current folder; empty: this program's own.
  std::wstring currentFolder;
  // Told the started program's process before the program runs.
  std::function<void(HANDLE process)> onStarted;
  // When signalled, the wait ends and leaves the program to itself; once it is, no program is
  // started at all.
  HANDLE giveUp = nullptr;
};

// Starts the program of commandLine (program first, as one text, neither parsed nor quoted here)
// with windowStyle, corrected in the caller's variable when out of range, and waits for its end
// while the window's messages keep running, each as it comes. It returns as soon as the program
// has ended, or when options.giveUp is signalled. There is no time-out, and the program is never
// stopped.
RunResult RunAndWait(const std::wstring& commandLine, int& windowStyle,
                     const RunOptions& options = {});

// The wait of RunAndWait for a started process: its exit code once it has ended, or, when the
// wait or the read of its exit code fails, that its end is unknown, with the system's error; or
// that it was given up, when giveUp is signalled first.
RunResult WaitForEnd(HANDLE process, HANDLE giveUp = nullptr);

// Runs the command line of pdftk.exe hidden through RunAndWait, with run.currentFolder (the
// tool's own folder, never the last folder a dialog browsed: the current folder is searched for
// the DLLs a program loads). The tool reads options.input on its standard input, or meets its end
// at once; what it writes is kept in files in captureFolder while it runs, or nowhere when that
// is empty.
ToolRun RunToolHidden(const std::wstring& commandLine, const ToolRunOptions& options,
                      RunOptions run, const std::wstring& captureFolder);

}  // namespace folianto

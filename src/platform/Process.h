#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "platform/UniqueHandle.h"

namespace folianto {

// Handles a started program gets as its standard input, output and error.
struct StdHandles {
  HANDLE input = nullptr;
  HANDLE output = nullptr;
  HANDLE error = nullptr;
};

// A started process and its first thread, or the system's error number when it could not be
// started. One started with CREATE_SUSPENDED is held in a job that ends it should this program end
// before it is resumed: a program that never ran would otherwise wait for ever, holding what it
// was handed. It is in that job from its creation where the system allows it (Windows 10 and
// later), else from the moment after; where no job can be had at all, it goes without.
struct StartedProcess {
  UniqueKernelHandle process;
  UniqueKernelHandle thread;
  UniqueKernelHandle untilResumed;
  DWORD error = ERROR_SUCCESS;
};

// Lets a process started with CREATE_SUSPENDED run, on its own from then on; or, where it cannot,
// ends it and returns the system's error.
DWORD Resume(StartedProcess& started);

// Starts the program of commandLine (program first, as one text) with the given show command.
// stdHandles, when given, and held (handles of objects that must live as long as the program) are
// all the program inherits of this one's handles, and nothing else inherits them. currentFolder,
// when not empty, is the program's current folder; otherwise it shares this program's.
StartedProcess StartProcess(const std::wstring& commandLine, WORD showCommand, DWORD creationFlags,
                            const StdHandles* stdHandles, std::span<const HANDLE> held,
                            const std::wstring& currentFolder);

// The exit code of a process that has ended, or the system's error number when it cannot be read.
struct ProcessExitCode {
  bool read = false;
  DWORD code = 0;
  DWORD error = ERROR_SUCCESS;
};
ProcessExitCode ExitCodeOf(HANDLE process);

// This program's own process, and the id of a process.
HANDLE ThisProcess();
uint32_t ProcessIdOf(HANDLE process);

// Work on a thread of its own that stops when its owner goes: the owner tells it to, through the
// flag the work looks at between its steps, and waits for it a moment, so that it ends at a safe
// point unless a step does not return (a path that does not answer); the program's end cuts
// that one short.
class BackgroundWork {
 public:
  explicit BackgroundWork(std::function<void(const std::atomic<bool>& stop)> work);
  ~BackgroundWork();
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  UniqueKernelHandle thread_;
};

// When the process started, as a file time: with its id, what tells it from a later process that
// is given the same id. 0 when it cannot be read.
uint64_t StartTimeOf(HANDLE process);

// Whether the process of that id which started at start still runs. One that this user may not
// look at belongs to another account, so it is none of this user's programs: it counts as ended.
bool StillRuns(uint32_t id, uint64_t start);

}  // namespace folianto

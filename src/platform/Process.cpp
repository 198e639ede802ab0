#include "platform/Process.h"

#include <optional>
#include <vector>

namespace folianto {

namespace {

// The handles are made inheritable only for the moment of the start. Every start of this program's
// own comes from the user-interface thread, so none of them, not even a nested join's, can pick
// them up. The shell's dialogs leave threads of their own running in the process, though, and a
// program one of those started with inheritance in that moment would get the handles too; so the
// moment lasts no longer than CreateProcessW.
class InheritableForStart {
 public:
  explicit InheritableForStart(const StdHandles& handles)
      : handles_{handles.input, handles.output, handles.error} {
    for (HANDLE handle : handles_)
      SetInherit(handle, HANDLE_FLAG_INHERIT);
  }
  ~InheritableForStart() {
    for (HANDLE handle : handles_)
      SetInherit(handle, 0);
  }
  InheritableForStart(const InheritableForStart&) = delete;
  InheritableForStart& operator=(const InheritableForStart&) = delete;

 private:
  static void SetInherit(HANDLE handle, DWORD flag) {
    if (handle && handle != INVALID_HANDLE_VALUE) {
      ::SetHandleInformation(handle, HANDLE_FLAG_INHERIT, flag);
    }
  }

  HANDLE handles_[3];
};

// A job that ends its processes when its last handle closes, with this program if need be.
UniqueKernelHandle EndedWithThisProgram(HANDLE process) {
  UniqueKernelHandle job(::CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  // Where this program runs in a job that allows no other (Windows 7), the process goes without.
  if (!job ||
      !::SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                 sizeof(limits)) ||
      !::AssignProcessToJobObject(job.Get(), process))
    return {};
  return job;
}

DWORD WINAPI RunWork(void* work) {
  reinterpret_cast<void (*)()>(work)();
  return 0;
}

// Ends a suspended process that cannot be let run; the system's error of why not. Its end is
// waited for, so nothing it was handed is held once this returns.
DWORD EndedUnrun(HANDLE process) {
  const DWORD error = ::GetLastError();
  ::TerminateProcess(process, ERROR_INTERNAL_ERROR);
  ::WaitForSingleObject(process, INFINITE);
  return error;
}

}  // namespace

StartedProcess StartProcess(const std::wstring& commandLine, WORD showCommand, DWORD creationFlags,
                            const StdHandles* stdHandles, const std::wstring& currentFolder) {
  // CreateProcessW may write into the command line, so it gets a private copy.
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showCommand;
  if (stdHandles) {
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = stdHandles->input;
    startup.hStdOutput = stdHandles->output;
    startup.hStdError = stdHandles->error;
  }

  PROCESS_INFORMATION info{};
  std::optional<InheritableForStart> inheritable;
  if (stdHandles) inheritable.emplace(*stdHandles);
  const BOOL started = ::CreateProcessW(
      nullptr, line.data(), nullptr, nullptr, stdHandles != nullptr, creationFlags, nullptr,
      currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &info);
  const DWORD error = ::GetLastError();
  inheritable.reset();
  StartedProcess result;
  if (!started) {
    result.error = error;
    return result;
  }
  result.thread.Reset(info.hThread);
  result.process.Reset(info.hProcess);
  if (creationFlags & CREATE_SUSPENDED) result.untilResumed = EndedWithThisProgram(info.hProcess);
  return result;
}

DWORD Resume(StartedProcess& started) {
  if (started.untilResumed) {
    // The process outlives this program from now on, as every started program does.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    if (!::SetInformationJobObject(started.untilResumed.Get(), JobObjectExtendedLimitInformation,
                                   &limits, sizeof(limits))) {
      return EndedUnrun(started.process.Get());
    }
    started.untilResumed.Reset();
  }
  if (::ResumeThread(started.thread.Get()) == static_cast<DWORD>(-1))
    return EndedUnrun(started.process.Get());
  return ERROR_SUCCESS;
}

ProcessExitCode ExitCodeOf(HANDLE process) {
  ProcessExitCode exitCode;
  exitCode.read = ::GetExitCodeProcess(process, &exitCode.code) != FALSE;
  if (!exitCode.read) exitCode.error = ::GetLastError();
  return exitCode;
}

void RunInBackground(void (*work)()) {
  const UniqueKernelHandle thread(
      ::CreateThread(nullptr, 0, RunWork, reinterpret_cast<void*>(work), 0, nullptr));
}

HANDLE ThisProcess() {
  return ::GetCurrentProcess();
}

uint32_t ProcessIdOf(HANDLE process) {
  return ::GetProcessId(process);
}

uint64_t StartTimeOf(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

bool StillRuns(uint32_t id, uint64_t start) {
  // The limited right is granted for processes of a higher integrity level too.
  const UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  if (!process) return false;
  // An exit code of STILL_ACTIVE from a process that ended keeps its record only until its id is
  // given to another process, which started later.
  DWORD exitCode = 0;
  const bool ended = ::GetExitCodeProcess(process.Get(), &exitCode) && exitCode != STILL_ACTIVE;
  return !ended && StartTimeOf(process.Get()) == start;
}

}  // namespace folianto

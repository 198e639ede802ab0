#include "platform/Process.h"

#include <vector>

namespace folianto {

namespace {

// The handles are made inheritable only for the moment of the start. The program runs on one
// thread, so no other start, not even a nested join's, can pick them up.
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

}  // namespace

StartedProcess StartProcess(const std::wstring& commandLine, WORD showCommand, DWORD creationFlags,
                            const StdHandles* stdHandles) {
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
  BOOL started = FALSE;
  if (stdHandles) {
    const InheritableForStart inheritable(*stdHandles);
    started = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, creationFlags, nullptr,
                               nullptr, &startup, &info);
  } else {
    started = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, creationFlags,
                               nullptr, nullptr, &startup, &info);
  }
  StartedProcess result;
  if (!started) {
    result.error = ::GetLastError();
    return result;
  }
  const UniqueKernelHandle thread(info.hThread);
  result.process.Reset(info.hProcess);
  return result;
}

ProcessState ReadProcessState(HANDLE process) {
  // The handle's state, not the exit code, says whether it has ended: a program may really exit
  // with 259, the code that also means "still running". Reading the state first means an ended
  // process always comes with its final code.
  ProcessState state;
  state.running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  if (!::GetExitCodeProcess(process, &state.exitCode)) {
    state = ProcessState{};
  }
  return state;
}

}  // namespace folianto

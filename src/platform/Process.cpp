#include "platform/Process.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace folianto {

namespace {

// How long the owner of background work waits for it to stop at a safe point.
constexpr DWORD kStopWaitMs = 5000;

// The PROC_THREAD_ATTRIBUTE_JOB_LIST of Windows 10, which the headers name only for newer targets.
constexpr DWORD_PTR kJobList = 0x2000D;

// What a start hands the program beyond STARTUPINFO: exactly the handles it inherits, each once,
// and the job it is created in; each left out where the system does not know it. The handles are
// inheritable only while this lives, for the moment of CreateProcessW: the shell's dialogs leave
// threads of their own running in the process, and a program one of those started with
// inheritance in that moment would get them too.
class StartAttributes {
 public:
  StartAttributes(const StdHandles* stdHandles, std::span<const HANDLE> held, HANDLE job)
      : job_(job) {
    for (HANDLE handle :
         {stdHandles ? stdHandles->input : nullptr, stdHandles ? stdHandles->output : nullptr,
          stdHandles ? stdHandles->error : nullptr})
      Inherit(handle);
    for (HANDLE handle : held)
      Inherit(handle);
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 2, 0, &size);
    buffer_.resize(size);
    list_ = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
    if (size == 0 || !::InitializeProcThreadAttributeList(list_, 2, 0, &size)) {
      list_ = nullptr;
      return;
    }
    if (!handles_.empty())
      ::UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                  handles_.size() * sizeof(HANDLE), nullptr, nullptr);
    inJob_ = job_ &&
             ::UpdateProcThreadAttribute(list_, 0, kJobList, &job_, sizeof(job_), nullptr, nullptr);
  }
  ~StartAttributes() {
    for (HANDLE handle : handles_)
      ::SetHandleInformation(handle, HANDLE_FLAG_INHERIT, 0);
    if (list_) ::DeleteProcThreadAttributeList(list_);
  }
  StartAttributes(const StartAttributes&) = delete;
  StartAttributes& operator=(const StartAttributes&) = delete;

  LPPROC_THREAD_ATTRIBUTE_LIST List() const { return list_; }
  bool Inherits() const { return !handles_.empty(); }
  // The program is created in the job, not put there after.
  bool InJob() const { return inJob_; }

 private:
  void Inherit(HANDLE handle) {
    if (!handle || handle == INVALID_HANDLE_VALUE ||
        std::find(handles_.begin(), handles_.end(), handle) != handles_.end())
      return;
    handles_.push_back(handle);
    ::SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  }

  std::vector<HANDLE> handles_;
  std::vector<char> buffer_;
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
  HANDLE job_;
  bool inJob_ = false;
};

// A job that ends its processes when its last handle closes, with this program if need be.
UniqueKernelHandle EndsWithThisProgram() {
  UniqueKernelHandle job(::CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job && !::SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                        sizeof(limits)))
    job.Reset();
  return job;
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
                            const StdHandles* stdHandles, std::span<const HANDLE> held,
                            const std::wstring& currentFolder) {
  // CreateProcessW may write into the command line, so it gets a private copy.
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');

  StartedProcess result;
  if (creationFlags & CREATE_SUSPENDED) result.untilResumed = EndsWithThisProgram();
  std::optional<StartAttributes> attributes(std::in_place, stdHandles, held,
                                            result.untilResumed.Get());
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = attributes->List() ? sizeof(startup) : sizeof(startup.StartupInfo);
  startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
  startup.StartupInfo.wShowWindow = showCommand;
  startup.lpAttributeList = attributes->List();
  if (stdHandles) {
    startup.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = stdHandles->input;
    startup.StartupInfo.hStdOutput = stdHandles->output;
    startup.StartupInfo.hStdError = stdHandles->error;
  }

  PROCESS_INFORMATION info{};
  const BOOL started = ::CreateProcessW(
      nullptr, line.data(), nullptr, nullptr, attributes->Inherits(),
      creationFlags | (attributes->List() ? EXTENDED_STARTUPINFO_PRESENT : 0), nullptr,
      currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup.StartupInfo, &info);
  const DWORD error = ::GetLastError();
  const bool inJob = attributes->InJob();
  attributes.reset();
  if (!started) {
    result.untilResumed.Reset();
    result.error = error;
    return result;
  }
  result.thread.Reset(info.hThread);
  result.process.Reset(info.hProcess);
  // Before Windows 10 the job is had only now; where this program's own job allows no other
  // (Windows 7), the process goes without.
  if (result.untilResumed && !inJob &&
      !::AssignProcessToJobObject(result.untilResumed.Get(), info.hProcess))
    result.untilResumed.Reset();
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

struct BackgroundWork::Shared {
  std::function<void(const std::atomic<bool>&)> work;
  std::atomic<bool> stop{false};
};

BackgroundWork::BackgroundWork(std::function<void(const std::atomic<bool>& stop)> work)
    : shared_(std::make_shared<Shared>()) {
  shared_->work = std::move(work);
  // The thread keeps the shared part alive should the program's end cut it short.
  auto* mine = new std::shared_ptr<Shared>(shared_);
  thread_.Reset(::CreateThread(
      nullptr, 0,
      [](void* parameter) -> DWORD {
        const std::unique_ptr<std::shared_ptr<Shared>> shared(
            static_cast<std::shared_ptr<Shared>*>(parameter));
        (*shared)->work((*shared)->stop);
        return 0;
      },
      mine, 0, nullptr));
  if (!thread_) delete mine;
}

BackgroundWork::~BackgroundWork() {
  shared_->stop = true;
  if (thread_) ::WaitForSingleObject(thread_.Get(), kStopWaitMs);
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

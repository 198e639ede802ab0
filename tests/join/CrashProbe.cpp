// Runs one join as Folianto's window runs it, with the real workspace, tool, records and claims,
// and ends itself, as TerminateProcess ends a program, at the STEP-th step that changes the disk
// (a thing made, a tool started, a name given, a thing removed) or asks for a password. With STEP 0
// it runs to its end: its exit code is then the number of such steps, and OUTCOME holds what the
// user would be told, in UTF-16.
// Usage: join_crash_probe TEMPORARY STEP KIND OUTCOME OUTPUT INPUT...
//   KIND plain; bookmarks, a bookmark for each file; password, each locked input opening with
//   "secret"; standin, no path having a short form, so that an input outside the code page goes
//   by a hard link.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "filelist/MemoryFileList.h"
#include "join/DiskWorkspace.h"
#include "join/JoinCommand.h"
#include "join/RunAndWait.h"
#include "join/SessionFileClaims.h"
#include "join/SystemFileNames.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/SystemError.h"

namespace folianto {
namespace {

int g_steps = 0;
int g_endAt = 0;

void EndNow() {
  ::TerminateProcess(::GetCurrentProcess(), 9);
}

void Step(std::wstring_view step) {
  if (++g_steps == g_endAt) EndNow();
  // A tool is told before it runs: it counts twice, ended there and with the first messages its
  // wait lets run, once it writes.
  if (step == L"tool" && ++g_steps == g_endAt)
    ::SetTimer(nullptr, 0, 0, [](HWND, UINT, UINT_PTR, DWORD) { EndNow(); });
}

// The system's names, but for a stand-in join: no path has a short form.
class ProbeNames final : public ToolFileNames {
 public:
  explicit ProbeNames(bool shortForms) : shortForms_(shortForms) {}
  bool SurvivesCodePage(const std::wstring& text) override { return names_.SurvivesCodePage(text); }
  unsigned CodePage() override { return names_.CodePage(); }
  std::optional<std::wstring> ShortForm(const std::wstring& path) override {
    return shortForms_ ? names_.ShortForm(path) : std::nullopt;
  }
  bool Exists(const std::wstring& path) override { return names_.Exists(path); }
  std::optional<size_t> SameFileAmong(const std::wstring& path,
                                      const std::vector<std::wstring>& others) override {
    return names_.SameFileAmong(path, others);
  }

 private:
  SystemFileNames names_;
  bool shortForms_;
};

// The person answers at once: the output, the check box, "secret" for every password.
class ProbeHost final : public JoinPerson, public JoinTool {
 public:
  ProbeHost(std::wstring kind, std::wstring output, std::wstring toolFolder, RunningJoins& joins)
      : kind_(std::move(kind)),
        output_(std::move(output)),
        toolFolder_(std::move(toolFolder)),
        join_(joins),
        names_(kind_ != L"standin"),
        workspace_(TemporaryFolder(),
                   [](HANDLE copy, const std::wstring&) { return WaitRunningMessages(copy); }) {
    join_.Use(workspace_);
  }
  JoinHost Host() { return {*this, *this, join_, names_, workspace_}; }
  std::wstring told;

  DialogOutcome ShowSaveDialog(CommonDialog& dialog) override {
    dialog.fileName = output_;
    dialog.checkBoxTicked = kind_ == L"bookmarks";
    return {DialogResult::Chosen, 0};
  }
  void ShowMessage(const std::wstring& text) override { told += text; }
  void TellOutcome(const std::wstring&, const JoinOutcome& outcome) override {
    told += outcome.succeeded ? kJoinSuccessful + outcome.text : outcome.text;
  }
  void SetProgress(int) override {}
  std::optional<SecretText> AskPassword(const std::wstring&, const std::wstring&) override {
    Step(L"asked");
    std::wstring password = L"secret";
    return SecretText(password);
  }
  bool CanAsk() override { return true; }
  ToolRun RunHiddenAndWait(const std::wstring& commandLine,
                           const ToolRunOptions& options) override {
    RunOptions tool;
    tool.held = join_.ForTools();
    tool.currentFolder = toolFolder_;
    tool.onStarted = [this](HANDLE process) { workspace_.ToolStarted(process); };
    return RunToolHidden(commandLine, options, std::move(tool), workspace_.OwnFolder().path);
  }
  std::wstring SystemErrorText(uint32_t error) override { return folianto::SystemErrorText(error); }

 private:
  std::wstring kind_, output_, toolFolder_;
  RunningJoins::Join join_;
  ProbeNames names_;
  DiskWorkspace workspace_;
};

int Probe(int argc, wchar_t** argv) {
  if (argc < 7) return -1;
  for (const wchar_t* name : {L"TMP", L"TEMP"})
    ::SetEnvironmentVariableW(name, argv[1]);
  g_endAt = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
  DiskWorkspace::ObserveSteps(Step);
  const std::wstring toolFolder = ApplicationFolder();
  SessionFileClaims claims([](HANDLE lock, unsigned ms) { return WaitRunningMessages(lock, ms); });
  RunningJoins joins(claims);
  MemoryFileList list(std::vector<std::wstring>(argv + 6, argv + argc));
  CommonDialog dialog;
  std::wstring told;
  {
    ProbeHost host(argv[3], argv[5], toolFolder, joins);
    RunJoinCommand(host.Host(), list, dialog, toolFolder);
    told = host.told;
  }
  if (FILE* file = ::_wfopen(argv[4], L"wb")) {
    std::fwrite(told.data(), sizeof(wchar_t), told.size(), file);
    std::fclose(file);
  }
  return g_steps;
}

}  // namespace
}  // namespace folianto

int wmain(int argc, wchar_t** argv) {
  return folianto::Probe(argc, argv);
}

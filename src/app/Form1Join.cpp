// "Join!", and closing the window while joins run.
#include "app/Form1.h"

#include <commctrl.h>

#include "join/DiskWorkspace.h"
#include "join/JoinCommand.h"
#include "join/RunAndWait.h"
#include "join/SystemFileNames.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/SystemError.h"

namespace folianto {

namespace {

// How long the wait after a close lasted, as the message that ends it says it.
std::wstring Duration(UINT milliseconds) {
  const UINT seconds = (milliseconds + 999) / 1000;
  if (seconds < 120) return std::to_wstring(seconds) + L" seconds";
  return std::to_wstring(seconds / 60) + L" minutes";
}

// One join's view of the window, from the click to the join's end: the join is in the window's
// record of running joins all that time. The window is the person's side of the join and runs
// the tool; the system names the files, the record of running joins holds them against the other
// joins, and the workspace keeps what the join puts on disk.
class Form1JoinHost final : public JoinPerson, public JoinTool {
 public:
  explicit Form1JoinHost(Form1& form)
      : form_(form),
        join_(form.JoinsRunning()),
        workspace_(folianto::TemporaryFolder(), [](HANDLE copy) { WaitRunningMessages(copy); }) {
    join_.Use(workspace_);
  }
  Form1JoinHost(const Form1JoinHost&) = delete;
  Form1JoinHost& operator=(const Form1JoinHost&) = delete;

  JoinHost Host() { return {*this, *this, join_, names_, workspace_}; }

  DialogOutcome ShowSaveDialog(CommonDialog& dialog) override {
    const HCURSOR before = ::GetCursor();
    const DialogOutcome outcome = form_.Dialogs().ShowSave(form_.Handle(), dialog);
    AfterDialog(before);
    return outcome;
  }
  void ShowMessage(const std::wstring& text) override {
    if (!form_.Closing()) {
      Tell([&] { form_.ShowMessage(text); });
      return;
    }
    // The window is gone, and the user believes the join went well: whatever else it has to
    // say comes in a box of its own on top of the other windows.
    const std::wstring& output = join_.Files().output;
    form_.TellingOutcome(true);
    form_.Dialogs().ShowMessage(
        nullptr, output.empty() ? text : L"The join into " + output + L":\n\n" + text);
    form_.TellingOutcome(false);
  }
  void TellOutcome(const std::wstring& output, const JoinOutcome& outcome) override {
    if (givenUp_) {
      // Said with the others given up, once the last join has ended.
      form_.JoinFailed();
      form_.LeaveBehind(output, toolLeftRunning_, workspace_.Left());
      return;
    }
    if (!outcome.succeeded) {
      form_.JoinFailed();
      if (outcome.folderToShow.empty() || form_.Closing()) {
        ShowMessage(outcome.text);
        return;
      }
      constexpr DialogButton kShowFolder[] = {{kShowFolderButton, L"Show &Folder"}};
      if (Choose(outcome.text, kShowFolder) == kShowFolderButton)
        form_.OpenFile(outcome.folderToShow);
      return;
    }
    // Success after a close needs no word.
    if (form_.Closing()) return;
    constexpr DialogButton kWaysToTheFile[] = {{kOpenButton, L"&Open"},
                                               {kShowInFolderButton, L"Show in &Folder"}};
    const int choice = Choose(kJoinSuccessful + outcome.text, kWaysToTheFile);
    if (choice == kOpenButton) form_.OpenFile(output);
    if (choice == kShowInFolderButton) form_.ShowFileInFolder(output);
  }
  std::optional<SecretText> AskPassword(const std::wstring& file,
                                        const std::wstring& prompt) override {
    std::optional<SecretText> password;
    const MaskedQuestion question{L"Password", file, prompt, L"OK", L"Cancel", kMaxPasswordLength};
    Tell([&] { password = form_.Dialogs().AskMasked(form_.Handle(), question); });
    return password;
  }
  bool CanAsk() override { return !form_.Closing(); }
  // The steps of the bar follow each other within a moment, and each drawing of it costs a
  // millisecond or two: it is drawn where a person can see it, with a message, and while the tool
  // runs. It goes back to 0 when the last join ends.
  void SetProgress(int value) override { progress_ = value; }

  ToolRun RunHiddenAndWait(const std::wstring& commandLine,
                           const ToolRunOptions& options) override {
    ShowProgress();
    join_.ToolRunning(true);
    // The record knows the tool before it runs, and the tool holds the claims, so neither goes
    // while it writes.
    RunOptions tool;
    tool.held = join_.ForTools();
    tool.currentFolder = form_.ApplicationFolder();
    tool.onStarted = [this](HANDLE process) { workspace_.ToolStarted(process); };
    tool.giveUp = form_.GiveUpWaiting();
    ToolRun run = RunToolHidden(commandLine, options, std::move(tool), workspace_.OwnFolder().path);
    join_.ToolRunning(false);
    if (run.result.givenUp) {
      givenUp_ = true;
      toolLeftRunning_ = run.result.started;
    }
    return run;
  }
  std::wstring SystemErrorText(uint32_t error) override { return folianto::SystemErrorText(error); }

 private:
  // The buttons of the boxes that offer more than OK.
  enum : int { kOpenButton = 100, kShowInFolderButton, kShowFolderButton };

  int Choose(const std::wstring& text, std::span<const DialogButton> buttons) {
    int choice = IDOK;
    Tell([&] { choice = form_.Dialogs().ShowChoice(form_.Handle(), text, buttons); });
    return choice;
  }
  void ShowProgress() {
    if (progress_ != 0 && form_.Progress() != progress_) form_.SetProgress(progress_);
  }
  template <typename Show>
  void Tell(Show show) {
    ShowProgress();
    const HCURSOR before = ::GetCursor();
    form_.TellingOutcome(true);
    show();
    form_.TellingOutcome(false);
    AfterDialog(before);
  }
  // A dialog or message box that showed a pointer of its own leaves it where the mouse rests.
  void AfterDialog(HCURSOR before) {
    if (::GetCursor() != before) form_.ShowBusy();
  }

  Form1& form_;
  RunningJoins::Join join_;
  SystemFileNames names_;
  DiskWorkspace workspace_;
  int progress_ = 0;
  // The wait for a tool ended at the limit after a close; the tool may still run.
  bool givenUp_ = false;
  bool toolLeftRunning_ = false;
};

}  // namespace

void Form1::Check2Click() {
  if (Check2.Value() != 1) return;
  Check2.SetValue(0);
  Form1JoinHost host(*this);
  RunJoinCommand(host.Host(), ListView1, CommonDialog1, ApplicationFolder());
}

void Form1::OnJoinsRunningChanged(bool running) {
  if (running) {
    SetMousePointer(PointerSetting::Busy);
    return;
  }
  SetMousePointer(PointerSetting::Arrow);
  // Back to 0 once the window is idle, not at once: nothing waits for it.
  ::PostMessageW(ProgressBar1, PBM_SETPOS, 0, 0);
  // A close during the joins waited for the last one to end.
  if (closing_) ::PostMessageW(window_, WM_CLOSE, 0, 0);
}

void Form1::JoinFailed() {
  exitCode_ = 1;
}

bool Form1::OnClose() {
  if (!joinsRunning_.Any()) {
    // The joins given up at the limit of the wait are said before the program ends.
    if (!leftBehind_.empty()) dialogs_.ShowMessage(nullptr, std::exchange(leftBehind_, L""));
    return false;
  }
  if (closing_) return true;
  // Each join goes on to its end, so that no joined file is left under a temporary name and no
  // link or copy made for the tool is left behind; only a tool that takes too long is left to run.
  closing_ = true;
  ::ShowWindow(window_, SW_HIDE);
  UpdateCloseWait();
  return true;
}

void Form1::TellingOutcome(bool telling) {
  telling_ += telling ? 1 : -1;
  UpdateCloseWait();
}

void Form1::UpdateCloseWait() {
  // The wait counts only while a tool runs and no outcome is being told: a box the user has not
  // answered yet is never taken for a join that does not end.
  const bool counts = closing_ && !givenUp_ && telling_ == 0 && joinsRunning_.ToolsRunning() > 0;
  if (counts == (closeWaitSince_ != 0)) return;
  const ULONGLONG now = ::GetTickCount64();
  if (counts) {
    closeWaitSince_ = now;
    ::SetTimer(window_, kCloseWaitTimer, closeWaitLimitMs_ - static_cast<UINT>(closeWaited_),
               nullptr);
  } else {
    closeWaited_ = std::min<ULONGLONG>(closeWaited_ + now - closeWaitSince_, closeWaitLimitMs_ - 1);
    closeWaitSince_ = 0;
    ::KillTimer(window_, kCloseWaitTimer);
  }
}

void Form1::OnCloseWaitLimit() {
  ::KillTimer(window_, kCloseWaitTimer);
  closeWaitSince_ = 0;
  // Every wait for a tool ends, the tools left to themselves, and no tool starts any more: each
  // join goes to its end, and those whose tool ended give the joined file its name and tidy up.
  givenUp_ = true;
  ::SetEvent(giveUp_.Get());
}

void Form1::LeaveBehind(const std::wstring& output, bool toolRuns,
                        const std::vector<std::wstring>& left) {
  std::wstring text = L"The join into " + output + L" has not ended " +
                      Duration(closeWaitLimitMs_) +
                      L" after the window was closed, and Folianto ends without it.";
  text += toolRuns ? L" pdftk.exe is still running; it is not stopped."
                   : L" Its next run of pdftk.exe was not started.";
  if (!left.empty()) {
    text += toolRuns ? L" These were made for the join and stay until Folianto next starts after "
                       L"pdftk.exe has ended, which removes them:"
                     : L" These were made for the join and stay until Folianto next starts, which "
                       L"removes them:";
    for (const std::wstring& path : left)
      text += L"\n" + path;
  }
  leftBehind_ += (leftBehind_.empty() ? L"" : L"\n\n") + text;
}

}  // namespace folianto

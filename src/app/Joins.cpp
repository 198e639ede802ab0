// "Join!", from the click to the outcome told; the one file of the window that uses the join's
// host, its workspace on disk and its tool.
#include "app/Joins.h"

#include <commctrl.h>

#include <optional>

#include "app/OpenFile.h"
#include "join/DiskWorkspace.h"
#include "join/JoinCommand.h"
#include "join/RunAndWait.h"
#include "join/SystemFileNames.h"
#include "platform/FileSystem.h"
#include "platform/SystemError.h"

namespace folianto {

// One join's side of the window, from the click to the join's end: the join is in the record of
// running joins all that time. The window is the person's side of the join and runs the tool; the
// system names the files, the record of running joins holds the claims against the other joins,
// and the workspace keeps what the join puts on disk.
class Joins::Host final : public JoinPerson, public JoinTool {
 public:
  explicit Host(Joins& joins)
      : joins_(joins),
        close_(joins.close_),
        join_(joins.running_),
        workspace_(folianto::TemporaryFolder(),
                   [this](HANDLE copy, const std::wstring& what) { return WaitFor(copy, what); }) {
    join_.Use(workspace_);
  }
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  JoinHost AsJoinHost() { return {*this, *this, join_, names_, workspace_}; }

  DialogOutcome ShowSaveDialog(CommonDialog& dialog) override {
    const HCURSOR before = ::GetCursor();
    const DialogOutcome outcome = joins_.dialogs_.ShowSave(joins_.window_, dialog);
    AfterDialog(before);
    return outcome;
  }
  void ShowMessage(const std::wstring& text) override {
    if (!close_.Closing()) {
      Tell([&] { joins_.dialogs_.ShowMessage(joins_.window_, text); });
      return;
    }
    // The window is gone, and the user believes the join went well: whatever else it has to
    // say comes in a box of its own on top of the other windows.
    const std::wstring& output = join_.Files().output;
    const CloseDuringJoins::TellingOutcome telling(close_);
    joins_.dialogs_.ShowMessage(
        nullptr, output.empty() ? text : L"The join into " + output + L":\n\n" + text);
  }
  void TellOutcome(const std::wstring& output, const JoinOutcome& outcome) override {
    if (toolLeftRunning_) {
      // Said with the other joins given up, once the last join has ended.
      joins_.exitCode_ = 1;
      close_.LeaveBehind(output, *toolLeftRunning_, leftWhat_, workspace_.Left());
      return;
    }
    if (!outcome.succeeded) {
      joins_.exitCode_ = 1;
      if (outcome.folderToShow.empty() || close_.Closing()) {
        ShowMessage(outcome.text);
        return;
      }
      constexpr DialogButton kShowFolder[] = {{kShowFolderButton, L"Show &Folder"}};
      if (Choose(outcome.text, kShowFolder) == kShowFolderButton) {
        OpenFile(joins_.window_, joins_.dialogs_, outcome.folderToShow);
      }
      return;
    }
    // Success after a close needs no word.
    if (close_.Closing()) return;
    constexpr DialogButton kWaysToTheFile[] = {{kOpenButton, L"&Open"},
                                               {kShowInFolderButton, L"Show in &Folder"}};
    const int choice = Choose(kJoinSuccessful + outcome.text, kWaysToTheFile);
    if (choice == kOpenButton) OpenFile(joins_.window_, joins_.dialogs_, output);
    if (choice == kShowInFolderButton) ShowFileInFolder(joins_.window_, joins_.dialogs_, output);
  }
  std::optional<SecretText> AskPassword(const std::wstring& file,
                                        const std::wstring& prompt) override {
    std::optional<SecretText> password;
    const MaskedQuestion question{L"Password", file, prompt, L"OK", L"Cancel", kMaxPasswordLength};
    Tell([&] { password = joins_.dialogs_.AskMasked(joins_.window_, question); });
    return password;
  }
  bool CanAsk() override { return !close_.Closing(); }
  // The steps of the bar follow each other within a moment, and each drawing of it costs a
  // millisecond or two: it is drawn where a person can see it, with a message, and while the tool
  // runs. It goes back to 0 when the last join ends.
  void SetProgress(int value) override { progress_ = value; }

  ToolRun RunHiddenAndWait(const std::wstring& commandLine,
                           const ToolRunOptions& options) override {
    ShowProgress();
    join_.Waiting(true);
    // The record knows the tool before it runs, and the tool holds the claims, so neither goes
    // while it writes.
    RunOptions tool;
    tool.held = join_.ForTools();
    tool.currentFolder = joins_.applicationFolder_;
    tool.onStarted = [this](HANDLE process) { workspace_.ToolStarted(process); };
    tool.giveUp = close_.GiveUpEvent();
    ToolRun run = RunToolHidden(commandLine, options, std::move(tool), workspace_.OwnFolder().path);
    join_.Waiting(false);
    if (run.result.givenUp) GaveUp(run.result.started, run.result.started ? options.what : L"");
    return run;
  }
  std::wstring SystemErrorText(uint32_t error) override { return folianto::SystemErrorText(error); }

 private:
  // A copy of the join's, waited for like a tool, with the window running, until the joins give
  // up; false then.
  bool WaitFor(HANDLE copy, const std::wstring& what) {
    join_.Waiting(true);
    const HANDLE handles[] = {copy, close_.GiveUpEvent()};
    const bool ended = WaitRunningMessages(handles) == 0;
    join_.Waiting(false);
    if (!ended) GaveUp(false, what);
    return ended;
  }
  // The first wait given up tells what the join leaves running.
  void GaveUp(bool toolRuns, const std::wstring& what) {
    if (toolLeftRunning_) return;
    toolLeftRunning_ = toolRuns;
    leftWhat_ = what;
  }

  // The buttons of the boxes that offer more than OK.
  enum : int { kOpenButton = 100, kShowInFolderButton, kShowFolderButton };

  int Choose(const std::wstring& text, std::span<const DialogButton> buttons) {
    int choice = IDOK;
    Tell([&] { choice = joins_.dialogs_.ShowChoice(joins_.window_, text, buttons); });
    return choice;
  }
  void ShowProgress() {
    const HWND bar = joins_.progressBar_;
    if (progress_ != 0 && ::SendMessageW(bar, PBM_GETPOS, 0, 0) != progress_) {
      ::SendMessageW(bar, PBM_SETPOS, progress_, 0);
    }
  }
  template <typename Show>
  void Tell(Show show) {
    ShowProgress();
    const HCURSOR before = ::GetCursor();
    {
      const CloseDuringJoins::TellingOutcome telling(close_);
      show();
    }
    AfterDialog(before);
  }
  // A dialog or message box that showed a pointer of its own leaves it where the mouse rests.
  void AfterDialog(HCURSOR before) {
    if (::GetCursor() != before) joins_.showBusy();
  }

  Joins& joins_;
  CloseDuringJoins& close_;
  RunningJoins::Join join_;
  SystemFileNames names_;
  DiskWorkspace workspace_;
  int progress_ = 0;
  // Set when this join was given up: whether its tool still runs, and what it was doing, or the
  // copy that was going on (none: no tool was started).
  std::optional<bool> toolLeftRunning_;
  std::wstring leftWhat_;
};

Joins::Joins(DialogHost& dialogs, std::wstring applicationFolder)
    : dialogs_(dialogs),
      applicationFolder_(std::move(applicationFolder)),
      close_(dialogs, [this] { return running_.Waiting() > 0; }) {
  running_.onRunningChanged = [this](bool running) {
    onRunningChanged(running);
    if (running) return;
    // Back to 0 once the window is idle, not at once: nothing waits for it.
    ::PostMessageW(progressBar_, PBM_SETPOS, 0, 0);
    close_.OnJoinsEnded();
  };
  running_.onWaitingChanged = [this] { close_.OnWaitingChanged(); };
}

void Joins::Attach(HWND window, HWND progressBar) {
  window_ = window;
  progressBar_ = progressBar;
  close_.Attach(window);
}

void Joins::Join(const FileList& list, CommonDialog& dialog) {
  Host host(*this);
  RunJoinCommand(host.AsJoinHost(), list, dialog, applicationFolder_);
}

}  // namespace folianto

// "Join!", and closing the window while joins run.
#include "app/Form1.h"

#include <commctrl.h>

#include "join/JoinCommand.h"
#include "join/RunAndWait.h"
#include "platform/CodePage.h"
#include "platform/FileContent.h"
#include "platform/FileSystem.h"
#include "platform/JoinRecord.h"
#include "platform/OutputCapture.h"
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
// record of running joins all that time.
class Form1JoinHost final : public JoinHost {
 public:
  explicit Form1JoinHost(Form1& form) : form_(form), join_(form.JoinsRunning()) {}
  // A join that held its files and made nothing under the output's name did not end well.
  ~Form1JoinHost() override {
    if (!join_.Files().output.empty() && !succeeded_) form_.JoinFailed();
  }
  Form1JoinHost(const Form1JoinHost&) = delete;
  Form1JoinHost& operator=(const Form1JoinHost&) = delete;

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
    form_.Dialogs().ShowMessage(
        nullptr, output.empty() ? text : L"The join into " + output + L":\n\n" + text);
  }
  void ShowJoinSuccessful(const std::wstring& output) override {
    succeeded_ = true;
    // Success after a close needs no word.
    if (form_.Closing()) return;
    JoinSuccessChoice choice = JoinSuccessChoice::Close;
    Tell([&] { choice = form_.Dialogs().ShowJoinSuccessful(form_.Handle(), output); });
    if (choice == JoinSuccessChoice::Open) form_.OpenFile(output);
    if (choice == JoinSuccessChoice::ShowInFolder) form_.ShowFileInFolder(output);
  }
  std::optional<SecretText> AskPassword(const std::wstring& file, bool again) override {
    std::optional<SecretText> password;
    Tell([&] { password = form_.Dialogs().AskPassword(form_.Handle(), file, again); });
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
    // A prompt of the hidden tool reads end-of-file at once instead of waiting for ever.
    const UniqueFileHandle nothingToRead = OpenNullDevice();
    const HANDLE nothing = nothingToRead ? nothingToRead.Get() : nullptr;
    const UniqueFileHandle toRead =
        options.input ? InputHolding(options.input->Text()) : UniqueFileHandle();
    if (options.input && !toRead) return {StartFailedWith(ERROR_NOT_ENOUGH_MEMORY), L""};
    const OutputCapture capture;
    const HANDLE output = capture.Handle() ? capture.Handle() : nothing;
    const StdHandles handles{toRead ? toRead.Get() : nothing, output, output};
    int hidden = 0;
    // The tool's own folder as its current one, never the last folder a dialog browsed: the
    // current folder is searched for the DLLs a program loads.
    const RunOptions runOptions{&handles, form_.ApplicationFolder(),
                                [this](HANDLE tool) { record_.ToolStarted(tool); }};
    const RunResult result = RunAndWait(commandLine, hidden, runOptions);
    if (!result.started) return {result, L""};
    return {result, options.wholeOutput ? capture.All() : capture.Tail()};
  }
  std::wstring SystemErrorText(uint32_t error) override { return folianto::SystemErrorText(error); }

  std::optional<size_t> SameFileAmong(const std::wstring& path,
                                      const std::vector<std::wstring>& others) override {
    return folianto::SameFileAmong(path, others);
  }
  std::optional<std::wstring> ClaimFiles(JoinFiles files) override {
    return join_.Claim(std::move(files));
  }

  bool SurvivesCodePage(const std::wstring& text) override { return SurvivesAnsiCodePage(text); }
  std::optional<std::wstring> ShortForm(const std::wstring& path) override {
    return ShortPathOf(path);
  }
  bool Exists(const std::wstring& path) override { return FileExists(path); }
  std::wstring TemporaryFolder() override { return folianto::TemporaryFolder(); }
  // What the join makes is noted in the record of running joins, for the message at the end of
  // the wait after a close, and on disk, for the next start should this program end first. A
  // name chosen here is noted before it is made, one made under a new name at once after.
  std::wstring MakeTemporaryFile(const std::wstring& folder) override {
    return Noted(MakeTemporaryFileIn(folder));
  }
  std::wstring MakeTemporaryFolder(const std::wstring& folder) override {
    return Noted(MakeTemporaryFolderIn(folder));
  }
  bool MakeHardLink(const std::wstring& link, const std::wstring& target) override {
    Noted(link);
    return folianto::MakeHardLink(link, target);
  }
  bool MakeCopy(const std::wstring& from, const std::wstring& to) override {
    Noted(to);
    return CopyToNewFile(from, to);
  }
  bool MoveReplacing(const std::wstring& from, const std::wstring& to) override {
    const bool moved = folianto::MoveReplacing(from, to);
    if (moved) join_.Removed(from);
    return moved;
  }
  bool RemoveFile(const std::wstring& path) override {
    return Removed(path, folianto::RemoveFile(path));
  }
  bool RemoveFolder(const std::wstring& path) override {
    return Removed(path, folianto::RemoveFolder(path));
  }
  bool WriteFileContent(const std::wstring& path, const std::string& bytes) override {
    return folianto::WriteFileContent(path, bytes);
  }

 private:
  std::wstring Noted(const std::wstring& path) {
    if (path.empty()) return path;
    record_.Made(path);
    join_.Made(path);
    return path;
  }
  bool Removed(const std::wstring& path, bool gone) {
    if (gone) {
      join_.Removed(path);
    } else {
      record_.KeepForLater();
    }
    return gone;
  }
  void ShowProgress() {
    if (progress_ != 0 && form_.Progress() != progress_) form_.SetProgress(progress_);
  }
  template <typename Show>
  void Tell(Show show) {
    ShowProgress();
    const HCURSOR before = ::GetCursor();
    show();
    AfterDialog(before);
  }
  // A dialog or message box that showed a pointer of its own leaves it where the mouse rests.
  void AfterDialog(HCURSOR before) {
    if (::GetCursor() != before) form_.ShowBusy();
  }

  Form1& form_;
  RunningJoins::Join join_;
  JoinRecord record_;
  int progress_ = 0;
  bool succeeded_ = false;
};

}  // namespace

void Form1::Check2Click() {
  if (Check2.Value() != 1) return;
  Check2.SetValue(0);
  Form1JoinHost host(*this);
  RunJoinCommand(host, ListView1, CommonDialog1, ApplicationFolder());
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
  if (!joinsRunning_.Any()) return false;
  if (closing_) return true;
  // Each join goes on to its end, so that no joined file is left under a temporary name and no
  // link or copy made for the tool is left behind; only a tool that takes too long is left to run.
  closing_ = true;
  ::ShowWindow(window_, SW_HIDE);
  ::SetTimer(window_, kCloseWaitTimer, closeWaitLimitMs_, nullptr);
  return true;
}

void Form1::OnCloseWaitLimit() {
  ::KillTimer(window_, kCloseWaitTimer);
  std::wstring text;
  for (const RunningJoins::Join* join : joinsRunning_.Joins()) {
    text += L"The join into " + join->Files().output + L" has not ended " +
            Duration(closeWaitLimitMs_) +
            L" after the window was closed, and Folianto ends without it. pdftk.exe is still "
            L"running; it is not stopped.";
    if (!join->Left().empty()) {
      text +=
          L" These were made for the join and stay until Folianto next starts after "
          L"pdftk.exe has ended, which removes them:";
      for (const std::wstring& path : join->Left())
        text += L"\n" + path;
    }
    text += L"\n\n";
  }
  if (!text.empty()) dialogs_.ShowMessage(nullptr, text.substr(0, text.size() - 2));
  ::ExitProcess(1);
}

}  // namespace folianto

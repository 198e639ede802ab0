// "Join!", and closing the window while joins run.
#include "app/Form1.h"

#include <commctrl.h>

#include "join/JoinCommand.h"
#include "join/RunAndWait.h"
#include "platform/CodePage.h"
#include "platform/FileContent.h"
#include "platform/FileSystem.h"
#include "platform/OutputCapture.h"

namespace folianto {

namespace {

// One join's view of the window.
class Form1JoinHost final : public JoinHost {
 public:
  explicit Form1JoinHost(Form1& form) : form_(form) {}

  DialogOutcome ShowSaveDialog(CommonDialog& dialog) override {
    const HCURSOR before = ::GetCursor();
    const DialogOutcome outcome = form_.Dialogs().ShowSave(form_.Handle(), dialog);
    AfterDialog(before);
    return outcome;
  }
  void ShowMessage(const std::wstring& text) override {
    Tell([&] { form_.ShowMessage(text); });
  }
  void ShowJoinSuccessful(const std::wstring& output) override {
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
  // millisecond or two: it is drawn where a person can see it, with a message, while the tool runs,
  // and when it goes back to 0.
  void SetProgress(int value) override {
    progress_ = value;
    if (value == 0) ShowProgress();
  }
  // The window counts each join once, however often it is marked busy.
  void SetBusy(bool busy) override {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy) {
      form_.BeginBusy();
    } else {
      form_.EndBusy();
    }
  }

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
    const RunResult result = RunAndWait(commandLine, hidden, {&handles, form_.ApplicationFolder()});
    if (!result.started) return {result, L""};
    return {result, options.wholeOutput ? capture.All() : capture.Tail()};
  }

  std::optional<size_t> SameFileAmong(const std::wstring& path,
                                      const std::vector<std::wstring>& others) override {
    return folianto::SameFileAmong(path, others);
  }
  RunningJoins& JoinsRunning() override { return form_.JoinsRunning(); }

  bool SurvivesCodePage(const std::wstring& text) override { return SurvivesAnsiCodePage(text); }
  std::optional<std::wstring> ShortForm(const std::wstring& path) override {
    return ShortPathOf(path);
  }
  bool Exists(const std::wstring& path) override { return FileExists(path); }
  std::wstring TemporaryFolder() override { return folianto::TemporaryFolder(); }
  std::wstring MakeTemporaryFile(const std::wstring& folder) override {
    return MakeTemporaryFileIn(folder);
  }
  std::wstring MakeTemporaryFolder(const std::wstring& folder) override {
    return MakeTemporaryFolderIn(folder);
  }
  bool MakeHardLink(const std::wstring& link, const std::wstring& target) override {
    return folianto::MakeHardLink(link, target);
  }
  bool MakeCopy(const std::wstring& from, const std::wstring& to) override {
    return CopyToNewFile(from, to);
  }
  bool MoveReplacing(const std::wstring& from, const std::wstring& to) override {
    return folianto::MoveReplacing(from, to);
  }
  bool WriteFileContent(const std::wstring& path, const std::string& bytes) override {
    return folianto::WriteFileContent(path, bytes);
  }
  void RemoveFile(const std::wstring& path) override { folianto::RemoveFile(path); }
  void RemoveFolder(const std::wstring& path) override { folianto::RemoveFolder(path); }

 private:
  void ShowProgress() {
    if (form_.Progress() == progress_) return;
    if (progress_ != 0) {
      form_.SetProgress(progress_);
      return;
    }
    // Back to 0 at the end, when nothing waits for it: once the window is idle, not at once.
    ::PostMessageW(form_.ProgressBar1, PBM_SETPOS, 0, 0);
  }
  template <typename Show>
  void Tell(Show show) {
    // A closed window's joins go on to their end without a word.
    if (form_.Closing()) return;
    ShowProgress();
    const HCURSOR before = ::GetCursor();
    show();
    AfterDialog(before);
  }
  // A dialog or message box that showed a pointer of its own leaves it where the mouse rests.
  void AfterDialog(HCURSOR before) {
    if (busy_ && ::GetCursor() != before) form_.ShowBusy();
  }

  Form1& form_;
  bool busy_ = false;
  int progress_ = 0;
};

}  // namespace

void Form1::Check2Click() {
  if (Check2.Value() != 1) return;
  Check2.SetValue(0);
  ++joinsInProgress_;
  Form1JoinHost host(*this);
  RunJoinCommand(host, ListView1, CommonDialog1, ApplicationFolder());
  // A close during the join waited for the last one to end.
  if (--joinsInProgress_ == 0 && closing_) ::PostMessageW(window_, WM_CLOSE, 0, 0);
}

bool Form1::OnClose() {
  if (joinsInProgress_ == 0) return false;
  if (closing_) return true;
  // Each join goes on to its end, so that no joined file is left under a temporary name and no
  // link or copy made for the tool is left behind; only a tool that takes too long is left to run.
  closing_ = true;
  ::ShowWindow(window_, SW_HIDE);
  ::SetTimer(window_, kCloseWaitTimer, closeWaitLimitMs_,
             [](HWND, UINT, UINT_PTR, DWORD) { ::ExitProcess(0); });
  return true;
}

}  // namespace folianto

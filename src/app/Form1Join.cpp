// "Join!".
#include "app/Form1.h"

#include "join/JoinCommand.h"
#include "join/RunAndWait.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/OutputCapture.h"

namespace folianto {

namespace {

class Form1JoinHost final : public JoinHost {
 public:
  explicit Form1JoinHost(Form1& form) : form_(form) {}

  DialogOutcome ShowSaveDialog(CommonDialog& dialog) override {
    return form_.Dialogs().ShowSave(form_.Handle(), dialog);
  }
  void ShowMessage(const std::wstring& text) override { form_.ShowMessage(text); }
  void SetProgress(int value) override { form_.SetProgress(value); }
  void SetBusy(bool busy) override {
    form_.SetMousePointer(busy ? PointerSetting::Busy : PointerSetting::Arrow);
  }

  ToolRun RunHiddenAndWait(const std::wstring& commandLine,
                           const std::function<void(const RunResult&)>& finishIfClosed) override {
    // A prompt of the hidden tool reads end-of-file at once instead of waiting for ever.
    const UniqueFileHandle nothingToRead = OpenNullDevice();
    const HANDLE nothing = nothingToRead ? nothingToRead.Get() : nullptr;
    const OutputCapture capture;
    const HANDLE output = capture.Handle() ? capture.Handle() : nothing;
    const StdHandles handles{nothing, output, output};
    int hidden = 0;
    // The tool's own folder as its current one, never the last folder a dialog browsed: the
    // current folder is searched for the DLLs a program loads.
    const RunResult result =
        RunAndWait(commandLine, hidden, {&handles, form_.ApplicationFolder(), finishIfClosed});
    return {result, result.started ? capture.Tail() : std::wstring()};
  }

  bool IsSameFile(const std::wstring& a, const std::wstring& b) override {
    return NameTheSameFile(a, b);
  }

  bool SurvivesCodePage(const std::wstring& text) override { return SurvivesAnsiCodePage(text); }
  std::optional<std::wstring> ShortForm(const std::wstring& path) override {
    return ShortPathOf(path);
  }
  bool Exists(const std::wstring& path) override { return FileExists(path); }
  std::wstring MakeTemporaryFile(const std::wstring& folder) override {
    return MakeTemporaryFileIn(folder);
  }
  bool RenameReplacing(const std::wstring& from, const std::wstring& to) override {
    return folianto::RenameReplacing(from, to);
  }
  void RemoveFile(const std::wstring& path) override { folianto::RemoveFile(path); }

 private:
  Form1& form_;
};

}  // namespace

void Form1::Check2Click() {
  if (Check2.Value() != 1) return;
  Check2.SetValue(0);
  Form1JoinHost host(*this);
  RunJoinCommand(host, ListView1, CommonDialog1, ApplicationFolder());
}

}  // namespace folianto

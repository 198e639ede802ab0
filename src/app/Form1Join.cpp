// "Join!".
#include "app/Form1.h"

#include <algorithm>
#include <vector>

#include "join/JoinCommand.h"
#include "join/RunAndWait.h"
#include "platform/FileSystem.h"

namespace folianto {

namespace {

// Enough of the tool's text for the tail a message shows, in any encoding.
constexpr LONGLONG kMaxCaptureRead = 16 * 1024;

// A temporary file that takes the tool's standard output and error. It goes when its handle is
// closed, also when closing the window ends the program in the middle of a join: the tool keeps
// its own handle, and the file goes when the tool ends too.
class OutputCapture {
 public:
  OutputCapture() {
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(static_cast<DWORD>(std::size(folder)), folder);
    if (length == 0 || length > MAX_PATH) return;
    if (!::GetTempFileNameW(folder, L"fol", 0, name)) return;
    file_.Reset(::CreateFileW(
        name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!file_) ::DeleteFileW(name);
  }

  HANDLE Handle() const { return file_.Get(); }

  // The end of what was written, as text: UTF-8 when it reads as such, else the system's code page.
  std::wstring Tail() const {
    LARGE_INTEGER size{};
    if (!file_ || !::GetFileSizeEx(file_.Get(), &size) || size.QuadPart == 0) return {};
    const LONGLONG start = std::max<LONGLONG>(0, size.QuadPart - kMaxCaptureRead);
    LARGE_INTEGER offset{};
    offset.QuadPart = start;
    if (!::SetFilePointerEx(file_.Get(), offset, nullptr, FILE_BEGIN)) return {};
    std::vector<char> bytes(static_cast<size_t>(size.QuadPart - start));
    DWORD read = 0;
    if (!::ReadFile(file_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
      return {};
    }
    size_t first = 0;
    // A cut inside a UTF-8 sequence skips to the next character.
    while (start > 0 && first < read && (static_cast<unsigned char>(bytes[first]) & 0xC0) == 0x80)
      ++first;
    return Decode(bytes.data() + first, static_cast<int>(read - first));
  }

 private:
  static std::wstring Decode(const char* bytes, int count) {
    for (const UINT codePage : {static_cast<UINT>(CP_UTF8), static_cast<UINT>(CP_ACP)}) {
      const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
      const int length = ::MultiByteToWideChar(codePage, flags, bytes, count, nullptr, 0);
      if (length <= 0) continue;
      std::wstring text(static_cast<size_t>(length), L'\0');
      ::MultiByteToWideChar(codePage, flags, bytes, count, text.data(), length);
      return text;
    }
    return {};
  }

  UniqueFileHandle file_;
};

class Form1JoinHost final : public JoinHost {
 public:
  explicit Form1JoinHost(Form1& form) : form_(form) {}

  DialogOutcome ShowSaveDialog(CommonDialog& dialog) override {
    return form_.Dialogs().ShowSave(form_.Handle(), dialog);
  }
  void ShowMessage(const std::wstring& text) override { form_.ShowMessage(text); }
  void SetProgress(int value) override { form_.SetProgress(value); }
  void SetMousePointer(PointerSetting setting) override { form_.SetMousePointer(setting); }

  ToolRun RunTool(const std::wstring& commandLine) override {
    // A prompt of the hidden tool reads end-of-file at once instead of waiting for ever.
    const UniqueFileHandle nothingToRead(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                       OPEN_EXISTING, 0, nullptr));
    const OutputCapture capture;
    const HANDLE output = capture.Handle() ? capture.Handle() : nothingToRead.Get();
    const StdHandles handles{nothingToRead.Get(), output, output};
    int hidden = 0;
    const RunResult result = RunAndWait(commandLine, hidden, &handles);
    return {result, result.started ? capture.Tail() : std::wstring()};
  }

  bool IsSameFile(const std::wstring& a, const std::wstring& b) override {
    return NameTheSameFile(a, b);
  }

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

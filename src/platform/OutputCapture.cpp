#include "platform/OutputCapture.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/FileHandles.h"
#include "platform/SecretText.h"
#include "platform/Utf8.h"

namespace folianto {

namespace {

// Enough of the text for the tail a message shows, in any encoding.
constexpr LONGLONG kMaxCaptureRead = 16 * 1024;

// utf8: the writer encodes its text so, and a broken sequence is one replacement character, not
// the whole text read in the code page.
std::wstring Decode(const char* bytes, int count, bool utf8) {
  const std::string_view text(bytes, static_cast<size_t>(count));
  if (utf8) return FromUtf8Replacing(text);
  if (auto whole = FromUtf8(text)) return std::move(*whole);
  const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes, count, nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
  if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, bytes, count, wide.data(), length);
  return wide;
}

}  // namespace

OutputCapture::OutputCapture(const std::wstring& path) {
  if (path.empty()) return;
  // No one else reads or writes it while it is open: the program it is handed shares this very
  // handle.
  file_.Reset(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_DELETE,
                            nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

std::wstring OutputCapture::Tail() const {
  return Read(kMaxCaptureRead, false);
}

std::wstring OutputCapture::All() const {
  return Read(MAXDWORD, false);
}

std::wstring OutputCapture::AllUtf8() const {
  return Read(MAXDWORD, true);
}

void OutputCapture::MoveTo(const std::wstring& path) {
  if (file_) RenameOpened(file_.Get(), path, false);
}

std::wstring OutputCapture::Read(LONGLONG maxBytes, bool utf8) const {
  LARGE_INTEGER size{};
  if (!file_ || !::GetFileSizeEx(file_.Get(), &size) || size.QuadPart == 0) return {};
  const LONGLONG start = std::max<LONGLONG>(0, size.QuadPart - maxBytes);
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
  return Decode(bytes.data() + first, static_cast<int>(read - first), utf8);
}

UniqueFileHandle InputHolding(SecretText text) {
  std::string narrow;
  const bool converted = InAnsiCodePage(text.Text(), narrow);
  text = SecretText();
  if (!converted) return {};
  const auto bytes = static_cast<DWORD>(narrow.size());
  constexpr DWORD kPipeBuffer = 4096;
  if (bytes > kPipeBuffer) {
    WipeText(narrow);
    return {};
  }
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!::CreatePipe(&read, &write, nullptr, kPipeBuffer)) {
    WipeText(narrow);
    return {};
  }
  UniqueFileHandle readEnd(read);
  const UniqueKernelHandle writeEnd(write);
  DWORD written = 0;
  const BOOL wrote = ::WriteFile(write, narrow.data(), bytes, &written, nullptr);
  WipeText(narrow);
  if (!wrote || written != bytes) return {};
  return readEnd;
}

UniqueFileHandle OpenNullDevice() {
  return UniqueFileHandle(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
}

}  // namespace folianto

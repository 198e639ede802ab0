#pragma once

#include <windows.h>

#include <string>

#include "platform/SecretText.h"
#include "platform/UniqueHandle.h"

namespace folianto {

// A temporary file that takes what a program writes to one of its standard outputs. It goes when
// its handle is closed, also when closing the window ends this program while the other one runs:
// that one keeps its own handle, and the file goes when it ends too.
class OutputCapture {
 public:
  // Made new at path, which the caller names; none when path is empty.
  explicit OutputCapture(const std::wstring& path);

  // Null when the file could not be made.
  HANDLE Handle() const { return file_ ? file_.Get() : nullptr; }

  // The end of what was written, as text: UTF-8 when it reads as such, else the system's code
  // page. Enough for the last lines a message shows.
  std::wstring Tail() const;
  // All that was written, as text in the same way.
  std::wstring All() const;
  // All that was written, as UTF-8 whatever it holds: text that its writer encodes so.
  std::wstring AllUtf8() const;

  // Gives the file the name path, where it goes once the last handle to it is closed.
  void MoveTo(const std::wstring& path);

 private:
  std::wstring Read(LONGLONG maxBytes, bool utf8) const;

  UniqueFileHandle file_;
};

// The read end of a pipe that holds text, in the system's code page, for a program to read on its
// standard input, which then meets its end; null when it cannot be made, also when a character of
// the text would not reach the program as it is. The text must fit the pipe's buffer (a few
// thousand characters), since it is written before the program starts. The text and the copies
// made on the way are wiped before it returns: from then on the pipe holds the only copy.
UniqueFileHandle InputHolding(SecretText text);

// The null device, to read from and write to: a program that reads it meets the end at once.
UniqueFileHandle OpenNullDevice();

}  // namespace folianto

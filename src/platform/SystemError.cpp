#include "platform/SystemError.h"

#include <windows.h>

#include <cwctype>
#include <iterator>

namespace folianto {

std::wstring SystemErrorText(uint32_t error) {
  wchar_t text[1024];
  DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, std::size(text), nullptr);
  while (length > 0 && std::iswspace(text[length - 1]))
    --length;
  return std::wstring(text, length);
}

}  // namespace folianto

#include "platform/CodePage.h"

#include <windows.h>

namespace folianto {

bool SurvivesAnsiCodePage(const std::wstring& text) {
  if (text.empty() || ::GetACP() == CP_UTF8) return true;
  const int length = static_cast<int>(text.size());
  // No best fit: a character the code page lacks must not pass for a look-alike ("e" for an
  // e with a mark of another script), which would name another file.
  BOOL lossy = FALSE;
  const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                          nullptr, 0, nullptr, &lossy);
  if (bytes <= 0 || lossy) return false;
  std::string narrow(static_cast<size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, narrow.data(), bytes,
                        nullptr, &lossy);
  std::wstring back(text.size(), L'\0');
  const int chars = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), bytes,
                                          back.data(), length);
  return !lossy && chars == length && back == text;
}

std::wstring InvariantUpperCase(const std::wstring& text) {
  std::wstring upper(text.size(), L'\0');
  const int length = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(),
                                     static_cast<int>(text.size()), upper.data(),
                                     static_cast<int>(upper.size()), nullptr, nullptr, 0);
  return length > 0 ? upper.substr(0, static_cast<size_t>(length)) : text;
}

}  // namespace folianto

#include "platform/CodePage.h"

#include <windows.h>

#include "platform/SecretText.h"

namespace folianto {

unsigned AnsiCodePage() {
  return ::GetACP();
}

bool InAnsiCodePage(std::wstring_view text, std::string& narrow) {
  WipeText(narrow);
  if (text.empty()) return true;
  const bool utf8 = ::GetACP() == CP_UTF8;
  const int length = static_cast<int>(text.size());
  // No best fit: a character the code page lacks must not pass for a look-alike ("e" for an e with
  // a mark of another script), which would name another file or be another password. UTF-8 takes
  // neither the flag nor the question.
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL lossy = FALSE;
  BOOL* const lost = utf8 ? nullptr : &lossy;
  const int bytes =
      ::WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, lost);
  if (bytes <= 0 || lossy) return false;
  narrow.resize(static_cast<size_t>(bytes));
  ::WideCharToMultiByte(CP_ACP, flags, text.data(), length, narrow.data(), bytes, nullptr, lost);
  // Some characters still come out as others without a word; the way back shows them.
  std::wstring back(text.size(), L'\0');
  const int chars = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), bytes,
                                          back.data(), length);
  const bool same = !lossy && chars == length && back == text;
  WipeText(back);
  if (!same) WipeText(narrow);
  return same;
}

bool SurvivesAnsiCodePage(const std::wstring& text) {
  std::string narrow;
  const bool survives = InAnsiCodePage(text, narrow);
  WipeText(narrow);
  return survives;
}

std::wstring InvariantUpperCase(const std::wstring& text) {
  std::wstring upper(text.size(), L'\0');
  const int length = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(),
                                     static_cast<int>(text.size()), upper.data(),
                                     static_cast<int>(upper.size()), nullptr, nullptr, 0);
  return length > 0 ? upper.substr(0, static_cast<size_t>(length)) : text;
}

}  // namespace folianto

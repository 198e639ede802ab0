#include "platform/CodePage.h"

#include <windows.h>

#include <algorithm>

#include "platform/SecretText.h"

namespace folianto {

namespace {

bool IsHighSurrogate(wchar_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

}  // namespace

std::optional<std::string> InAnsiCodePage(std::wstring_view text) {
  if (text.empty()) return std::string();
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
  if (bytes <= 0 || lossy) return std::nullopt;
  std::string narrow(static_cast<size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_ACP, flags, text.data(), length, narrow.data(), bytes, nullptr, lost);
  // Some characters still come out as others without a word; the way back shows them.
  std::wstring back(text.size(), L'\0');
  const int chars = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), bytes,
                                          back.data(), length);
  const bool same = !lossy && chars == length && back == text;
  WipeText(back);
  if (same) return narrow;
  WipeText(narrow);
  return std::nullopt;
}

bool SurvivesAnsiCodePage(const std::wstring& text) {
  return InAnsiCodePage(text).has_value();
}

std::vector<std::wstring> CharactersOutsideAnsiCodePage(std::wstring_view text) {
  std::vector<std::wstring> outside;
  // The whole text at once first: it passes as a rule.
  if (InAnsiCodePage(text)) return outside;
  for (size_t i = 0; i < text.size();) {
    const size_t units = IsHighSurrogate(text[i]) && i + 1 < text.size() ? 2 : 1;
    const std::wstring character(text.substr(i, units));
    i += units;
    if (InAnsiCodePage(character)) continue;
    if (std::find(outside.begin(), outside.end(), character) == outside.end())
      outside.push_back(character);
  }
  return outside;
}

std::wstring InvariantUpperCase(const std::wstring& text) {
  std::wstring upper(text.size(), L'\0');
  const int length = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(),
                                     static_cast<int>(text.size()), upper.data(),
                                     static_cast<int>(upper.size()), nullptr, nullptr, 0);
  return length > 0 ? upper.substr(0, static_cast<size_t>(length)) : text;
}

}  // namespace folianto

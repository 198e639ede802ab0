#include "platform/Utf8.h"

namespace folianto {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

void AppendUtf8(std::string& bytes, char32_t c) {
  if (c < 0x80) {
    bytes += static_cast<char>(c);
    return;
  }
  const int tail = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  static constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  bytes += static_cast<char>(kLead[tail] | (c >> (6 * tail)));
  for (int i = tail - 1; i >= 0; --i)
    bytes += static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
}

void AppendWide(std::wstring& text, char32_t c) {
  if (sizeof(wchar_t) == 2 && c >= 0x10000) {
    c -= 0x10000;
    text += static_cast<wchar_t>(0xD800 | (c >> 10));
    text += static_cast<wchar_t>(0xDC00 | (c & 0x3FF));
    return;
  }
  text += static_cast<wchar_t>(c);
}

// Reads the character at bytes[i] into text and returns the bytes it takes; 0 when none starts
// there.
size_t TakeCharacter(std::string_view bytes, size_t i, std::wstring& text) {
  const auto lead = static_cast<unsigned char>(bytes[i]);
  const int tail = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (tail < 0 || lead > 0xF4 || bytes.size() - i <= static_cast<size_t>(tail)) return 0;
  char32_t c = tail == 0 ? lead : lead & (0x3F >> tail);
  for (int k = 1; k <= tail; ++k) {
    const auto next = static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]);
    if ((next & 0xC0) != 0x80) return 0;
    c = (c << 6) | (next & 0x3F);
  }
  // The shortest form only, and no surrogate: anything else is not UTF-8.
  static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (c < kLeast[tail] || IsSurrogate(c) || c > 0x10FFFF) return 0;
  AppendWide(text, c);
  return static_cast<size_t>(tail) + 1;
}

// The text of bytes; a byte that starts no character is U+FFFD when replacing, else none.
std::optional<std::wstring> Decode(std::string_view bytes, bool replacing) {
  std::wstring text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    const size_t taken = TakeCharacter(bytes, i, text);
    if (taken > 0) {
      i += taken;
    } else if (replacing) {
      text += static_cast<wchar_t>(kReplacement);
      ++i;
    } else {
      return std::nullopt;
    }
  }
  return text;
}

}  // namespace

std::string ToUtf8(std::wstring_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
        text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
    }
    AppendUtf8(bytes, IsSurrogate(c) || c > 0x10FFFF ? kReplacement : c);
  }
  return bytes;
}

std::optional<std::wstring> FromUtf8(std::string_view bytes) {
  return Decode(bytes, false);
}

std::wstring FromUtf8Replacing(std::string_view bytes) {
  return *Decode(bytes, true);
}

}  // namespace folianto

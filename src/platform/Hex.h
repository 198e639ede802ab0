#pragma once

#include <cstdint>
#include <string>

namespace folianto {

// value in upper-case hexadecimal digits, at least digits of them: Hex(0x3002, 4) is "3002".
inline std::wstring Hex(uint64_t value, int digits) {
  std::wstring text;
  for (; value != 0 || static_cast<int>(text.size()) < digits; value >>= 4)
    text.insert(text.begin(), L"0123456789ABCDEF"[value & 0xF]);
  return text;
}

}  // namespace folianto

#include "platform/Hex.h"

namespace folianto {

std::wstring Hex(uint64_t value, int digits) {
  std::wstring text;
  for (; value != 0 || static_cast<int>(text.size()) < digits; value >>= 4)
    text.insert(text.begin(), L"0123456789ABCDEF"[value & 0xF]);
  return text;
}

}  // namespace folianto

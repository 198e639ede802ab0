#pragma once

#include <cstdint>
#include <string>

namespace folianto {

// value in upper-case hexadecimal digits, at least digits of them: Hex(0x3002, 4) is "3002".
std::wstring Hex(uint64_t value, int digits);

}  // namespace folianto

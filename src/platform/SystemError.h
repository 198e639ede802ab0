#pragma once

#include <cstdint>
#include <string>

namespace folianto {

// The system's own words for one of its error numbers, in the user's language, without the line
// break that closes them; empty when the system has none.
std::wstring SystemErrorText(uint32_t error);

}  // namespace folianto

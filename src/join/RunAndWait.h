#pragma once

#include <string>

#include "join/RunResult.h"
#include "platform/Process.h"

namespace folianto {

// Starts the program of commandLine (program first, as one text, neither parsed nor quoted here)
// with windowStyle, corrected in the caller's variable when out of range, and waits for its end
// while the window's pending messages keep running, every 100 ms. There is no time-out, and the
// program is never stopped; closing the window ends this program at once. stdHandles, when given,
// become the program's standard input, output and error.
RunResult RunAndWait(const std::wstring& commandLine, int& windowStyle,
                     const StdHandles* stdHandles = nullptr);

}  // namespace folianto

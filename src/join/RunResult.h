#pragma once

#include <cstdint>

namespace folianto {

// What became of a command line handed to RunAndWait. A tool may end with any exit code, even one
// that looks like a start failure, so `started` says which of the two `code` is.
struct RunResult {
  bool started = false;
  // The exit code when started; otherwise the start failure's error number + 0x80040000.
  int32_t code = 0;

  // The run-time error number of a failed start (53, 76, 70 or 5).
  int StartErrorNumber() const;
  // The program ran and ended with 0.
  bool Succeeded() const { return started && code == 0; }
  // The program was started and its end is not known: what it writes may still change.
  bool MayStillRun() const { return false; }
};

inline constexpr uint32_t kStartFailureBase = 0x80040000;

RunResult ExitedWith(uint32_t exitCode);

// A start that the system refused with `systemError`, as the run-time error numbers count it:
// 53 file not found, 76 path not found (a malformed name or a missing current folder included),
// 70 permission denied, and 5 for anything else.
RunResult StartFailedWith(uint32_t systemError);

// The window style of a run: 0 hidden, 1 normal with focus, 2 minimised with focus, 3 maximised
// with focus, 4 normal without focus, 5 shown, 6 minimised without focus. When none is given, and
// in place of one outside that range, it is 6.
inline constexpr int kDefaultWindowStyle = 6;
void CorrectWindowStyle(int& windowStyle);

}  // namespace folianto

#pragma once

#include <cstdint>
#include <string>

#include "platform/SecretText.h"

namespace folianto {

// What became of a command line handed to RunAndWait. A tool may end with any exit code, even one
// that looks like a start failure, so `started` and `ended` say what `code` is.
struct RunResult {
  bool started = false;
  // The program has ended and `code` is its exit code. A started run that has not may still be
  // running: this program could not learn its end, or stopped waiting for it.
  bool ended = false;
  // The exit code when ended; the start failure's error number + 0x80040000 when not started;
  // otherwise 259, the system's "still running", so that a look at the code alone never takes it
  // for success.
  int32_t code = 0;
  // The system's error number of a failed start, of a wait that failed or of an exit code that
  // could not be read; 0 otherwise.
  uint32_t systemError = 0;
  // This program stopped waiting for the program, or did not start it, as it was told to (at the
  // limit of the wait after a close): when started, it is left to itself.
  bool givenUp = false;

  // The run-time error number of a failed start (53, 76, 70 or 5).
  int StartErrorNumber() const;
  // The program ended with exit code 0.
  bool Succeeded() const { return ended && code == 0; }
  // The program was started and its end is not known: what it writes may still change.
  bool MayStillRun() const { return started && !ended; }
};

inline constexpr uint32_t kStartFailureBase = 0x80040000;

RunResult ExitedWith(uint32_t exitCode);

// A start that the system refused with `systemError`, as the run-time error numbers count it:
// 53 file not found, 76 path not found (a malformed name or a missing current folder included),
// 70 permission denied, and 5 for anything else.
RunResult StartFailedWith(uint32_t systemError);

// A started program whose end this program could not learn, for the system's error `systemError`.
RunResult EndUnknown(uint32_t systemError);

// A program this program stopped waiting for (started), or did not start, as it was told to.
RunResult GivenUp(bool started);

// The window style of a run: 0 hidden, 1 normal with focus, 2 minimised with focus, 3 maximised
// with focus, 4 normal without focus, 5 shown, 6 minimised without focus. When none is given, and
// in place of one outside that range, it is 6.
inline constexpr int kDefaultWindowStyle = 6;
void CorrectWindowStyle(int& windowStyle);

// The tool's run as the join sees it: how it ended, what it wrote to its standard output (its
// data, verbose reports and prompts), and its messages, which it writes to its standard error
// (errors, warnings, "PASSWORD REQUIRED").
struct ToolRun {
  RunResult result;
  std::wstring output;
  std::wstring errors = {};
};

// What of the tool's standard output a run keeps, and how it reads it: as its messages, in UTF-8
// where it reads as such, else in the system's code page (in which the tool writes paths), or in
// UTF-8 always. Of its messages only the end is kept, read in the first way.
enum class ToolOutput {
  Tail,     // the end, that a message shows
  All,      // all of it (a verbose join's pages)
  AllUtf8,  // all of it, in UTF-8 (what dump_data_utf8 writes)
};

// What a run of the tool is given beyond its command line.
struct ToolRunOptions {
  // What the tool reads on its standard input, in the system's code page, then meeting its end: a
  // password for "PROMPT", a line of at most a few thousand characters, every character of which
  // the code page holds. Nothing when null. Wiped once the tool's input holds it, before the tool
  // runs.
  SecretText* input = nullptr;
  ToolOutput output = ToolOutput::Tail;
  // What the run does, in words ("joining the files"), for a message should it be given up.
  std::wstring what = L"joining the files";
};

}  // namespace folianto

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "join/JoinWorkspace.h"
#include "join/RunResult.h"
#include "join/RunningJoins.h"
#include "join/ToolPaths.h"
#include "platform/CommonDialog.h"
#include "platform/SecretText.h"

namespace folianto {

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
};

// How a join that ran ended, as the user is told it.
struct JoinOutcome {
  bool succeeded = false;
  // For a success, what follows "Join successful." (what could not be removed, say); for a
  // failure, all that is said.
  std::wstring text;
  // A folder the message offers to show, where the user has something to put.
  std::wstring folderToShow;

  static JoinOutcome Failed(std::wstring text) { return {false, std::move(text), {}}; }
};

// The person at the window: the save dialog, messages, the progress bar, passwords.
class JoinPerson {
 public:
  virtual ~JoinPerson() = default;
  // Shows the dialog as a save dialog; the chosen name lands in its file name.
  virtual DialogOutcome ShowSaveDialog(CommonDialog& dialog) = 0;
  virtual void ShowMessage(const std::wstring& text) = 0;
  // Tells the user how the join into output ended: "Join successful.", with the ways to the
  // file, or what failed. A join the user cancelled is not told.
  virtual void TellOutcome(const std::wstring& output, const JoinOutcome& outcome) = 0;
  virtual void SetProgress(int value) = 0;
  // Asks the user for the password that opens file (as the list names it), with prompt said above
  // the box. None when the user cancelled.
  virtual std::optional<SecretText> AskPassword(const std::wstring& file,
                                                const std::wstring& prompt) = 0;
  // Whether the user can be asked anything: not once the window has been closed.
  virtual bool CanAsk() = 0;
};

// pdftk.exe, run hidden from the application folder.
class JoinTool {
 public:
  virtual ~JoinTool() = default;
  // Runs the command line and waits for its end; the tool reads options.input on its standard
  // input, which is wiped before the tool runs, or nothing.
  virtual ToolRun RunHiddenAndWait(const std::wstring& commandLine,
                                   const ToolRunOptions& options) = 0;
  // The system's own words for the error number of a run; empty when it has none.
  virtual std::wstring SystemErrorText(uint32_t error) = 0;
};

// Who answers what a join asks, each by its concern: the person, the tool, the other joins (of
// this Folianto and of every other), the system's file names, and the disk.
struct JoinHost {
  JoinPerson& person;
  JoinTool& tool;
  OtherJoins& others;
  ToolFileNames& names;
  JoinWorkspace& workspace;
};

}  // namespace folianto

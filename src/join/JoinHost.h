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

// Who answers what a join asks, each by its concern: the person, the tool, the join's place among
// the others (of this Folianto and of every other), the system's file names, and the disk.
struct JoinHost {
  JoinPerson& person;
  JoinTool& tool;
  RunningJoins::Join& join;
  ToolFileNames& names;
  JoinWorkspace& workspace;
};

}  // namespace folianto

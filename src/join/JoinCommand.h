#pragma once

#include <optional>
#include <string>
#include <vector>

#include "filelist/FileList.h"
#include "join/RunResult.h"
#include "join/RunningJoins.h"
#include "join/ToolPaths.h"
#include "platform/CommonDialog.h"
#include "platform/SecretText.h"

namespace folianto {

// The tool's run as the join sees it: how it ended, and what it wrote to its standard output and
// error.
struct ToolRun {
  RunResult result;
  std::wstring output;
};

// What a run of the tool is given beyond its command line.
struct ToolRunOptions {
  // What the tool reads on its standard input, then meeting its end: a password for "PROMPT", a
  // line of at most a few thousand characters. Nothing when null.
  const SecretText* input = nullptr;
  // All that the tool writes, not only the end that a message shows.
  bool wholeOutput = false;
};

// What "Join!" needs from the window and the system.
class JoinHost : public ToolFileNames {
 public:
  // Shows the dialog as a save dialog; the chosen name lands in its file name.
  virtual DialogOutcome ShowSaveDialog(CommonDialog& dialog) = 0;
  virtual void ShowMessage(const std::wstring& text) = 0;
  // Tells the user that the join into output succeeded: "Join successful.".
  virtual void ShowJoinSuccessful(const std::wstring& output) = 0;
  virtual void SetProgress(int value) = 0;
  // Runs the command line hidden, from the application folder, and waits for its end; the tool
  // reads options.input on its standard input, or nothing.
  virtual ToolRun RunHiddenAndWait(const std::wstring& commandLine,
                                   const ToolRunOptions& options) = 0;
  // The system's own words for its error number; empty when it has none.
  virtual std::wstring SystemErrorText(uint32_t error) = 0;
  // Asks the user for the password that opens file (as the list names it); again: the last one
  // given did not open it. None when the user cancelled.
  virtual std::optional<SecretText> AskPassword(const std::wstring& file, bool again) = 0;
  // Whether the user can be asked anything: not once the window has been closed.
  virtual bool CanAsk() = 0;
  // The position of the first of others that names the same file as path, however spelt; none.
  virtual std::optional<size_t> SameFileAmong(const std::wstring& path,
                                              const std::vector<std::wstring>& others) = 0;
  // Holds the join's files against every other running join until this one ends; when another
  // one uses one of them, that file as files names it, and nothing is held.
  virtual std::optional<std::wstring> ClaimFiles(JoinFiles files) = 0;
};

// The longest command line the system starts; the count holds the closing NUL.
inline constexpr size_t kMaxCommandLineLength = 32767;

// "Join!" after its button's value/click protocol: asks for the output file in `dialog`, checks
// the list, has pdftk.exe in applicationFolder join the entries and tells the user the outcome.
void RunJoinCommand(JoinHost& host, const FileList& list, CommonDialog& dialog,
                    const std::wstring& applicationFolder);

// What the user is told when the save dialog fails with its extended error code.
std::wstring SaveDialogFailureMessage(uint32_t error);

inline constexpr wchar_t kJoinSuccessful[] = L"Join successful.";
// The save dialog's check box.
inline constexpr wchar_t kBookmarkEachFile[] = L"Add a bookmark for each file";

// The message that tells the user how the tool's run ended; systemErrorText gives the system's
// words for the run's system error.
std::wstring JoinOutcomeMessage(const ToolRun& run, const std::wstring& applicationFolder,
                                const std::wstring& systemErrorText);

}  // namespace folianto

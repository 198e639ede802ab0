#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "filelist/FileList.h"
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
  // the code page holds. Nothing when null.
  const SecretText* input = nullptr;
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

// What "Join!" needs from the window and the system.
class JoinHost : public ToolFileNames {
 public:
  // Shows the dialog as a save dialog; the chosen name lands in its file name.
  virtual DialogOutcome ShowSaveDialog(CommonDialog& dialog) = 0;
  virtual void ShowMessage(const std::wstring& text) = 0;
  // Tells the user how the join into output ended: "Join successful.", with the ways to the
  // file, or what failed. A join the user cancelled is not told.
  virtual void TellOutcome(const std::wstring& output, const JoinOutcome& outcome) = 0;
  // What the join puts on disk, from its start to its end.
  virtual JoinWorkspace& Workspace() = 0;
  virtual void SetProgress(int value) = 0;
  // Runs the command line hidden, from the application folder, and waits for its end; the tool
  // reads options.input on its standard input, or nothing.
  virtual ToolRun RunHiddenAndWait(const std::wstring& commandLine,
                                   const ToolRunOptions& options) = 0;
  // The system's own words for its error number; empty when it has none.
  virtual std::wstring SystemErrorText(uint32_t error) = 0;
  // Asks the user for the password that opens file (as the list names it), with prompt said above
  // the box. None when the user cancelled.
  virtual std::optional<SecretText> AskPassword(const std::wstring& file,
                                                const std::wstring& prompt) = 0;
  // The characters of text that would not reach the tool as they are on its standard input, in
  // the system's code page: each once, in order.
  virtual std::vector<std::wstring> CharactersOutsideCodePage(const std::wstring& text) = 0;
  // Whether the user can be asked anything: not once the window has been closed.
  virtual bool CanAsk() = 0;
  // The position of the first of others that names the same file as path, however spelt; none.
  virtual std::optional<size_t> SameFileAmong(const std::wstring& path,
                                              const std::vector<std::wstring>& others) = 0;
  // Holds the join's files against every other running join until this one and its tools end;
  // when that cannot be, what to tell the user, and nothing is held.
  virtual std::optional<std::wstring> ClaimFiles(JoinFiles files) = 0;
};

// The longest password a PDF file holds: 127 bytes.
inline constexpr int kMaxPasswordLength = 127;

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
// The same as the outcome of a join, with the system's words from host.
JoinOutcome OutcomeOfRun(const ToolRun& run, const std::wstring& applicationFolder, JoinHost& host);

}  // namespace folianto

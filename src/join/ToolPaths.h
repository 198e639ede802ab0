#pragma once

#include <optional>
#include <string>
#include <vector>

#include "join/RunResult.h"

namespace folianto {

// What the join needs to know of the system's file names. pdftk.exe, like any Windows program
// with a narrow main, reads its arguments in the system's ANSI code page: a character outside it
// arrives as "?", and the tool cannot find the file; some arrive as a look-alike quote or
// backslash, and change how the tool splits its arguments.
class ToolFileNames {
 public:
  virtual ~ToolFileNames() = default;
  // Whether text comes back whole through the ANSI code page, without best fit.
  virtual bool SurvivesCodePage(const std::wstring& text) = 0;
  // The path in 8.3 short names; none where the volume keeps none, or the path is not there.
  virtual std::optional<std::wstring> ShortForm(const std::wstring& path) = 0;
  virtual bool Exists(const std::wstring& path) = 0;
  // A new empty file with a name of plain ASCII characters in folder; empty when none could be
  // made.
  virtual std::wstring MakeTemporaryFile(const std::wstring& folder) = 0;
  // Renames from to to, replacing a file of that name.
  virtual bool RenameReplacing(const std::wstring& from, const std::wstring& to) = 0;
  virtual void RemoveFile(const std::wstring& path) = 0;
};

// The join's paths as pdftk.exe is handed them.
struct ToolPaths {
  std::vector<std::wstring> entries;
  std::wstring output;
  // Not empty when the tool writes to this temporary file, to be given the output's name after.
  std::wstring temporary;
};

// Every entry that passes the PDF test, and the output's folder, in a form the tool reads whole:
// as they are when they survive the code page, else by their short form. An output name that does
// not survive is written to a temporary file first. Nothing else goes onto the command line: when
// a path has no such form (a name outside the code page whose file is gone has no short form
// either), the result is none and refusal says why.
std::optional<ToolPaths> PathsForTool(ToolFileNames& names,
                                      const std::vector<std::wstring>& entries,
                                      const std::wstring& output, std::wstring& refusal);

// After the tool's run: a temporary output takes the chosen name when the tool succeeded and is
// removed otherwise, so nothing half-written is left. Returns a message to show in place of the
// run's outcome, or the empty text.
std::wstring FinishToolOutput(ToolFileNames& names, const ToolPaths& paths,
                              const std::wstring& output, const RunResult& result);

// Removes the temporary output of a run that did not happen.
void DiscardToolOutput(ToolFileNames& names, const ToolPaths& paths);

}  // namespace folianto

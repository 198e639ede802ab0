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
  // The user's folder for temporary files; empty when there is none.
  virtual std::wstring TemporaryFolder() = 0;
  // A new empty file, or folder, with a name of plain ASCII characters in folder; empty when none
  // could be made.
  virtual std::wstring MakeTemporaryFile(const std::wstring& folder) = 0;
  virtual std::wstring MakeTemporaryFolder(const std::wstring& folder) = 0;
  // Gives the file target the second name link, on its own volume.
  virtual bool MakeHardLink(const std::wstring& link, const std::wstring& target) = 0;
  // Copies from to the new file to.
  virtual bool MakeCopy(const std::wstring& from, const std::wstring& to) = 0;
  // Moves from to to, replacing a file of that name, from another volume too.
  virtual bool MoveReplacing(const std::wstring& from, const std::wstring& to) = 0;
  // Writes bytes as the whole content of the file at path, one made by MakeTemporaryFile.
  virtual bool WriteFileContent(const std::wstring& path, const std::string& bytes) = 0;
  // Each true when nothing is left under that name; read-only files are removed too.
  virtual bool RemoveFile(const std::wstring& path) = 0;
  virtual bool RemoveFolder(const std::wstring& path) = 0;
};

// The join's paths as pdftk.exe is handed them, and what was made for them.
struct ToolPaths {
  // Each entry's form, position for position with the list's (one that fails the PDF test as it
  // is, since it is not passed).
  std::vector<std::wstring> entries;
  std::wstring output;
  // Not empty when the tool writes to this temporary file, to be moved to the output's place after.
  std::wstring temporary;
  // Links to inputs and copies of them under plain names, and the folders made to hold them.
  std::vector<std::wstring> standIns;
  std::vector<std::wstring> folders;
};

// Every entry that passes the PDF test, and the output, in a form the tool reads whole: as they
// are when they survive the code page, else by their short form. An input that has neither goes
// by a hard link with a plain name on its own volume, or else by a copy in the temporary folder.
// The output is written under a temporary name first when its name does not survive, in the
// temporary folder when its folder has no such form either. When none of this can be done (or an
// input outside the code page is gone), the result is none, nothing made is left, and refusal
// says why.
std::optional<ToolPaths> PathsForTool(ToolFileNames& names,
                                      const std::vector<std::wstring>& entries,
                                      const std::wstring& output, std::wstring& refusal);

// After the tool's run: a temporary output takes the chosen name when the tool succeeded and is
// removed otherwise, so nothing half-written is left; the links and copies go either way. Returns
// the message to show: outcome, or what went wrong with the name in its place, followed by what
// could not be removed.
std::wstring FinishToolOutput(ToolFileNames& names, const ToolPaths& paths,
                              const std::wstring& output, const RunResult& result,
                              std::wstring outcome);

// Removes everything made for a run that did not happen; returns message, followed by what could
// not be removed.
std::wstring DiscardToolOutput(ToolFileNames& names, const ToolPaths& paths, std::wstring message);

}  // namespace folianto

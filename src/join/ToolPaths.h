#pragma once

#include <optional>
#include <string>
#include <vector>

#include "join/JoinWorkspace.h"
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
  // The system's ANSI code page, in which the tool reads (on its standard input too).
  virtual unsigned CodePage() = 0;
  // The path in 8.3 short names; none where the volume keeps none, or the path is not there.
  virtual std::optional<std::wstring> ShortForm(const std::wstring& path) = 0;
  virtual bool Exists(const std::wstring& path) = 0;
};

// The path in a form that survives the code page: as it is, or its short form; none when it has
// neither.
std::optional<std::wstring> ReadableForm(ToolFileNames& names, const std::wstring& path);

// The join's paths as pdftk.exe is handed them.
struct ToolPaths {
  // Each entry's form, position for position with the list's (one that fails the PDF test as it
  // is, since it is not passed).
  std::vector<std::wstring> entries;
  // The file the tool writes the joined file into, as the tool is handed it, and as it was made.
  std::wstring output;
  std::wstring temporary;
};

// Every entry that passes the PDF test in a form the tool reads whole: as it is when it survives
// the code page, else by its short form, else by a stand-in under a plain name in the join's own
// folder. The tool writes the joined file under a temporary name beside the output, which takes
// the output's name only once every step has succeeded, so a join that fails half-way leaves an
// existing file as it was; in the own folder when the tool reaches no form of the output's folder.
// When none of this can be done (or an input outside the code page is gone), the result is none,
// nothing made is left, and refusal says why.
std::optional<ToolPaths> PathsForTool(ToolFileNames& names, JoinWorkspace& workspace,
                                      const std::vector<std::wstring>& entries,
                                      const std::wstring& output, std::wstring& refusal);

// A file the join made in its own folder as the tool is handed it; none when the folder has no
// form that survives the code page, or made is empty.
std::optional<std::wstring> MadeFileForTool(ToolFileNames& names, const std::wstring& made);

// What the user is told where nothing of the inputs' content may go into the join's own folder:
// there is none, or others can read it. None where it may.
std::optional<std::wstring> WhyNoPrivateFolder(JoinWorkspace& workspace);

// The end of a message that names what the join could not remove; nothing when nothing.
std::wstring LeftOverNote(const std::vector<std::wstring>& left);

}  // namespace folianto

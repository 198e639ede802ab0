#include "join/ToolPaths.h"

#include "filelist/PdfTest.h"
#include "platform/Paths.h"

namespace folianto {

namespace {

std::wstring CannotPass(const std::wstring& path) {
  return L"The name " + path +
         L" cannot be passed to pdftk.exe. Rename it, or move it to a folder whose name has only "
         L"characters of the system's code page.";
}

// The path in a form that survives the code page: as it is, or its short form; none when it has
// neither.
std::optional<std::wstring> ReadableForm(ToolFileNames& names, const std::wstring& path) {
  if (names.SurvivesCodePage(path)) return path;
  if (const auto shortForm = names.ShortForm(path); shortForm && names.SurvivesCodePage(*shortForm))
    return shortForm;
  return std::nullopt;
}

}  // namespace

std::optional<ToolPaths> PathsForTool(ToolFileNames& names,
                                      const std::vector<std::wstring>& entries,
                                      const std::wstring& output, std::wstring& refusal) {
  ToolPaths paths;
  for (const std::wstring& entry : entries) {
    // An entry that fails the PDF test is not passed at all.
    const auto readable = PassesPdfTest(entry) ? ReadableForm(names, entry) : entry;
    if (!readable) {
      // A file gone since it was added has no short form; its name may still be read wrongly.
      refusal = names.Exists(entry) ? CannotPass(entry)
                                    : L"The file " + entry + L" was not found. Nothing was joined.";
      return std::nullopt;
    }
    paths.entries.push_back(*readable);
  }

  const std::wstring folder = FolderOfPath(output);
  const auto readable = ReadableForm(names, folder);
  if (!readable) {
    refusal = CannotPass(folder);
    return std::nullopt;
  }
  const std::wstring name = NameOfPath(output);
  std::wstring target = name;
  if (!names.SurvivesCodePage(name)) {
    paths.temporary = names.MakeTemporaryFile(folder);
    if (paths.temporary.empty()) {
      refusal = CannotPass(output);
      return std::nullopt;
    }
    target = NameOfPath(paths.temporary);
  }
  paths.output = folder.empty()               ? target
                 : readable->ends_with(L'\\') ? *readable + target
                                              : *readable + L"\\" + target;
  return paths;
}

void DiscardToolOutput(ToolFileNames& names, const ToolPaths& paths) {
  if (!paths.temporary.empty()) names.RemoveFile(paths.temporary);
}

std::wstring FinishToolOutput(ToolFileNames& names, const ToolPaths& paths,
                              const std::wstring& output, const RunResult& result) {
  if (paths.temporary.empty()) return {};
  if (!result.started || result.code != 0) {
    DiscardToolOutput(names, paths);
    return {};
  }
  if (names.RenameReplacing(paths.temporary, output)) return {};
  return L"The files were joined, but the joined file could not be named " + output +
         L". It is kept as " + paths.temporary + L".";
}

}  // namespace folianto

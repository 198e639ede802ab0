#include "join/ToolSpelling.h"

#include "filelist/PdfTest.h"
#include "platform/Paths.h"

namespace folianto {

namespace {

std::wstring CannotPass(const std::wstring& path) {
  return L"The name " + path +
         L" cannot be passed to pdftk.exe. Rename it, or move it to a folder whose name has only "
         L"characters of the system's code page.";
}

std::optional<std::wstring> Spell(ToolFileNames& names, const std::wstring& path) {
  if (names.SurvivesCodePage(path)) return path;
  if (const auto shortForm = names.ShortForm(path); shortForm && names.SurvivesCodePage(*shortForm))
    return shortForm;
  if (!names.Exists(path)) return path;
  return std::nullopt;
}

}  // namespace

std::optional<ToolPaths> SpellForTool(ToolFileNames& names,
                                      const std::vector<std::wstring>& entries,
                                      const std::wstring& output, std::wstring& refusal) {
  ToolPaths paths;
  for (const std::wstring& entry : entries) {
    // An entry that fails the PDF test is not passed at all.
    const auto spelt = PassesPdfTest(entry) ? Spell(names, entry) : entry;
    if (!spelt) {
      refusal = CannotPass(entry);
      return std::nullopt;
    }
    paths.entries.push_back(*spelt);
  }

  const std::wstring folder = FolderOfPath(output);
  const auto spelt = Spell(names, folder);
  if (!spelt) {
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
  paths.output = folder.empty()            ? target
                 : spelt->ends_with(L'\\') ? *spelt + target
                                           : *spelt + L"\\" + target;
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
  if (names.ReplaceFile(paths.temporary, output)) return {};
  return L"The files were joined, but the joined file could not be named " + output +
         L". It is kept as " + paths.temporary + L".";
}

}  // namespace folianto

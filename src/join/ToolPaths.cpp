#include "join/ToolPaths.h"

#include <utility>

#include "filelist/PdfTest.h"
#include "platform/Paths.h"

namespace folianto {

namespace {

std::wstring CannotPass(const std::wstring& path, const std::wstring& why) {
  return L"The name " + path + L" cannot be passed to pdftk.exe: " + why +
         L" Rename it, or move it to a folder whose name has only characters of the system's "
         L"code page.";
}

}  // namespace

std::optional<std::wstring> ReadableForm(ToolFileNames& names, const std::wstring& path) {
  if (names.SurvivesCodePage(path)) return path;
  if (const auto shortForm = names.ShortForm(path); shortForm && names.SurvivesCodePage(*shortForm))
    return shortForm;
  return std::nullopt;
}

std::wstring LeftOverNote(const std::vector<std::wstring>& left) {
  if (left.empty()) return {};
  std::wstring note = L"\n\nFolianto could not remove what it made for pdftk.exe: ";
  for (size_t i = 0; i < left.size(); ++i)
    note += (i == 0 ? L"" : L", ") + left[i];
  return note + L". You can delete it: your own files stay as they are.";
}

std::optional<std::wstring> MadeFileForTool(ToolFileNames& names, const std::wstring& made) {
  if (made.empty()) return std::nullopt;
  // The name is plain, made by the join; only the folders above may not survive the code page.
  const auto folder = ReadableForm(names, FolderOfPath(made));
  if (!folder) return std::nullopt;
  return InFolder(*folder, NameOfPath(made));
}

std::optional<std::wstring> WhyNoPrivateFolder(JoinWorkspace& workspace) {
  const JoinWorkspace::Folder folder = workspace.OwnFolder();
  if (folder.path.empty()) {
    return L"Folianto could not make a folder of the join's own in the temporary folder, where "
           L"only you can read what it makes of the files. Nothing was joined.";
  }
  if (folder.isPrivate) return std::nullopt;
  return L"Nothing was joined: other users of this computer could read what the join would make "
         L"of your files in its folder " +
         folder.path + L", since the drive keeps no access lists.";
}

std::optional<ToolPaths> PathsForTool(ToolFileNames& names, JoinWorkspace& workspace,
                                      const std::vector<std::wstring>& entries,
                                      const std::wstring& output, std::wstring& refusal) {
  ToolPaths paths;
  const auto refuse = [&](std::wstring why) {
    refusal = std::move(why) + LeftOverNote(workspace.RemoveAll());
    return std::nullopt;
  };
  for (const std::wstring& entry : entries) {
    // An entry that fails the PDF test is not passed at all.
    auto readable = PassesPdfTest(entry) ? ReadableForm(names, entry) : entry;
    if (!readable) {
      // A file gone since it was added has no short form; its name may still be read wrongly.
      if (!names.Exists(entry))
        return refuse(L"The file " + entry + L" was not found. Nothing was joined.");
      readable = MadeFileForTool(names, workspace.MakeStandIn(entry));
      if (!readable) {
        return refuse(WhyNoPrivateFolder(workspace).value_or(
            CannotPass(entry, L"no link to it or copy of it under a plain name could be made.")));
      }
    }
    paths.entries.push_back(std::move(*readable));
  }

  // Beside the output where the tool reaches its folder, so that a rename gives it its name, else
  // in the own folder, to be copied beside it from there.
  const std::wstring folder = FolderOfPath(output);
  if (const auto readableFolder = ReadableForm(names, folder)) {
    paths.temporary = workspace.MakeBeside(output);
    if (paths.temporary.empty()) {
      return refuse(L"No file could be made in " + folder +
                    L" for pdftk.exe to write the joined file into. Nothing was joined.");
    }
    paths.output = InFolder(*readableFolder, NameOfPath(paths.temporary));
    return paths;
  }
  if (const auto why = WhyNoPrivateFolder(workspace)) return refuse(*why);
  paths.temporary = workspace.MakeFile();
  const auto readableTemporary = MadeFileForTool(names, paths.temporary);
  if (!readableTemporary)
    return refuse(CannotPass(output, L"no temporary file for pdftk.exe to write could be made."));
  paths.output = *readableTemporary;
  return paths;
}

}  // namespace folianto

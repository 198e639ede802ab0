#include "join/ToolPaths.h"

#include <map>
#include <utility>

#include "filelist/PdfTest.h"
#include "join/JoinCommandLine.h"
#include "platform/Paths.h"

namespace folianto {

namespace {

std::wstring CannotPass(const std::wstring& path, const std::wstring& why) {
  return L"The name " + path + L" cannot be passed to pdftk.exe: " + why +
         L" Rename it, or move it to a folder whose name has only characters of the system's "
         L"code page.";
}

// The path in a form that survives the code page: as it is, or its short form; none when it has
// neither.
std::optional<std::wstring> ReadableForm(ToolFileNames& names, const std::wstring& path) {
  if (names.SurvivesCodePage(path)) return path;
  if (const auto shortForm = names.ShortForm(path); shortForm && names.SurvivesCodePage(*shortForm))
    return shortForm;
  return std::nullopt;
}

// The deepest folder above path that has a readable form. The deepest, since it is the likeliest
// to lie on the file's own volume (a volume may be mounted in a folder) and to be the user's own.
std::optional<std::wstring> ReadableFolderAbove(ToolFileNames& names, const std::wstring& path) {
  for (std::wstring folder = FolderOfPath(path); !folder.empty();) {
    if (ReadableForm(names, folder)) return folder;
    std::wstring above = FolderOfPath(folder);
    if (above == folder) break;
    folder = std::move(above);
  }
  return std::nullopt;
}

// Makes the stand-ins of inputs that have no readable form, and keeps all it makes in paths.
class StandIns {
 public:
  StandIns(ToolFileNames& names, ToolPaths& paths) : names_(names), paths_(paths) {}

  // The readable form of a stand-in for input under plainName: a hard link, which costs nothing
  // and stays on the file's volume, else a copy in the temporary folder.
  std::optional<std::wstring> For(const std::wstring& input, const std::wstring& plainName) {
    if (const auto above = ReadableFolderAbove(names_, input)) {
      if (const auto folder = OwnFolderIn(*above)) {
        const std::wstring link = InFolder(folder->first, plainName);
        if (names_.MakeHardLink(link, input)) return Made(link, folder->second, plainName);
      }
    }
    if (const auto folder = OwnFolderIn(names_.TemporaryFolder())) {
      const std::wstring copy = InFolder(folder->first, plainName);
      if (names_.MakeCopy(input, copy)) return Made(copy, folder->second, plainName);
    }
    return std::nullopt;
  }

 private:
  // A folder made for this join in folder, and its readable form; made once per folder.
  using OwnFolder = std::pair<std::wstring, std::wstring>;
  std::optional<OwnFolder> OwnFolderIn(const std::wstring& folder) {
    if (folder.empty()) return std::nullopt;
    const auto [known, isNew] = made_.try_emplace(folder);
    if (!isNew) return known->second;
    const auto readable = ReadableForm(names_, folder);
    if (!readable) return std::nullopt;
    std::wstring own = names_.MakeTemporaryFolder(folder);
    if (own.empty()) return std::nullopt;
    paths_.folders.push_back(own);
    known->second = OwnFolder{own, InFolder(*readable, NameOfPath(own))};
    return known->second;
  }

  std::wstring Made(const std::wstring& standIn, const std::wstring& readableFolder,
                    const std::wstring& plainName) {
    paths_.standIns.push_back(standIn);
    return InFolder(readableFolder, plainName);
  }

  ToolFileNames& names_;
  ToolPaths& paths_;
  std::map<std::wstring, std::optional<OwnFolder>> made_;
};

// Removes the stand-ins and their folders, and then tells, after message, what is still there.
std::wstring RemoveStandIns(ToolFileNames& names, const ToolPaths& paths, std::wstring message,
                            std::vector<std::wstring> left = {}) {
  for (const std::wstring& standIn : paths.standIns) {
    if (!names.RemoveFile(standIn)) left.push_back(standIn);
  }
  for (auto folder = paths.folders.rbegin(); folder != paths.folders.rend(); ++folder) {
    if (!names.RemoveFolder(*folder)) left.push_back(*folder);
  }
  if (left.empty()) return message;
  message += L"\n\nFolianto could not remove what it made for pdftk.exe: ";
  for (size_t i = 0; i < left.size(); ++i)
    message += (i == 0 ? L"" : L", ") + left[i];
  return message + L". You can delete it: your own files stay as they are.";
}

}  // namespace

std::optional<ToolPaths> PathsForTool(ToolFileNames& names,
                                      const std::vector<std::wstring>& entries,
                                      const std::wstring& output, std::wstring& refusal) {
  ToolPaths paths;
  StandIns standIns(names, paths);
  const auto refuse = [&](std::wstring why) {
    refusal = DiscardToolOutput(names, paths, std::move(why));
    return std::nullopt;
  };
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::wstring& entry = entries[i];
    // An entry that fails the PDF test is not passed at all.
    auto readable = PassesPdfTest(entry) ? ReadableForm(names, entry) : entry;
    if (!readable) {
      // A file gone since it was added has no short form; its name may still be read wrongly.
      if (!names.Exists(entry))
        return refuse(L"The file " + entry + L" was not found. Nothing was joined.");
      readable = standIns.For(entry, std::wstring{HandleLetter(static_cast<int>(i) + 1)} + L".pdf");
      if (!readable)
        return refuse(
            CannotPass(entry, L"no link to it or copy of it under a plain name could be made."));
    }
    paths.entries.push_back(std::move(*readable));
  }

  const std::wstring folder = FolderOfPath(output);
  const std::wstring name = NameOfPath(output);
  const auto readableFolder = ReadableForm(names, folder);
  if (readableFolder && names.SurvivesCodePage(name)) {
    paths.output = InFolder(*readableFolder, name);
    return paths;
  }
  // Written under a temporary name: beside the output where the tool reaches its folder, so that a
  // rename gives it its name, else in the temporary folder, to be moved from there.
  const std::wstring where = readableFolder ? folder : names.TemporaryFolder();
  const auto readableWhere = readableFolder  ? readableFolder
                             : where.empty() ? std::nullopt
                                             : ReadableForm(names, where);
  if (readableWhere) paths.temporary = names.MakeTemporaryFile(where);
  if (paths.temporary.empty())
    return refuse(CannotPass(output, L"no temporary file for pdftk.exe to write could be made."));
  paths.output = InFolder(*readableWhere, NameOfPath(paths.temporary));
  return paths;
}

std::wstring DiscardToolOutput(ToolFileNames& names, const ToolPaths& paths, std::wstring message) {
  std::vector<std::wstring> left;
  if (!paths.temporary.empty() && !names.RemoveFile(paths.temporary))
    left.push_back(paths.temporary);
  return RemoveStandIns(names, paths, std::move(message), std::move(left));
}

std::wstring FinishToolOutput(ToolFileNames& names, const ToolPaths& paths,
                              const std::wstring& output, const RunResult& result,
                              std::wstring outcome) {
  if (paths.temporary.empty()) return RemoveStandIns(names, paths, std::move(outcome));
  if (!result.started || result.code != 0)
    return DiscardToolOutput(names, paths, std::move(outcome));
  if (!names.MoveReplacing(paths.temporary, output)) {
    outcome = L"The files were joined, but the joined file could not be named " + output +
              L". It is kept as " + paths.temporary + L".";
  }
  return RemoveStandIns(names, paths, std::move(outcome));
}

}  // namespace folianto

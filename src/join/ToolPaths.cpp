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

// A folder the join made, and its form the tool reads.
struct MadeFolder {
  std::wstring path;
  std::wstring readable;
};

// Makes the stand-ins of inputs that have no readable form.
class StandIns {
 public:
  StandIns(ToolFileNames& names, JoinWorkspace& workspace) : names_(names), workspace_(workspace) {}

  // The readable form of a stand-in for input under plainName: a hard link, which costs nothing
  // and stays on the file's volume, else a copy in the private folder.
  std::optional<std::wstring> For(const std::wstring& input, const std::wstring& plainName) {
    if (const auto above = ReadableFolderAbove(names_, input)) {
      if (const auto folder = FolderIn(*above);
          folder && !workspace_.MakeHardLink(folder->path, plainName, input).empty())
        return InFolder(folder->readable, plainName);
    }
    if (const auto folder = Readable(workspace_.PrivateFolder());
        folder && !workspace_.MakeCopy(folder->path, plainName, input).empty())
      return InFolder(folder->readable, plainName);
    return std::nullopt;
  }

 private:
  std::optional<MadeFolder> Readable(const std::wstring& folder) {
    if (folder.empty()) return std::nullopt;
    const auto readable = ReadableForm(names_, folder);
    if (!readable) return std::nullopt;
    return MadeFolder{folder, *readable};
  }
  // A folder made for this join in folder; made once per folder.
  std::optional<MadeFolder> FolderIn(const std::wstring& folder) {
    const auto [known, isNew] = made_.try_emplace(folder);
    if (isNew && ReadableForm(names_, folder))
      known->second = Readable(workspace_.MakeFolder(folder));
    return known->second;
  }

  ToolFileNames& names_;
  JoinWorkspace& workspace_;
  std::map<std::wstring, std::optional<MadeFolder>> made_;
};

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

std::optional<ToolPaths> PathsForTool(ToolFileNames& names, JoinWorkspace& workspace,
                                      const std::vector<std::wstring>& entries,
                                      const std::wstring& output, std::wstring& refusal) {
  ToolPaths paths;
  StandIns standIns(names, workspace);
  const auto refuse = [&](std::wstring why) {
    refusal = std::move(why) + LeftOverNote(workspace.RemoveAll());
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

  // Beside the output where the tool reaches its folder, so that a rename gives it its name, else
  // in the private folder, to be moved from there.
  const std::wstring folder = FolderOfPath(output);
  const auto readableFolder = ReadableForm(names, folder);
  const std::wstring where = readableFolder ? folder : workspace.PrivateFolder();
  const auto readableWhere = readableFolder  ? readableFolder
                             : where.empty() ? std::nullopt
                                             : ReadableForm(names, where);
  if (readableWhere) paths.temporary = workspace.MakeFile(where);
  if (paths.temporary.empty()) {
    if (readableFolder) {
      return refuse(L"No file could be made in " + folder +
                    L" for pdftk.exe to write the joined file into. Nothing was joined.");
    }
    return refuse(CannotPass(output, L"no temporary file for pdftk.exe to write could be made."));
  }
  paths.output = InFolder(*readableWhere, NameOfPath(paths.temporary));
  return paths;
}

}  // namespace folianto

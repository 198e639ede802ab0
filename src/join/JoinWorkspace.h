#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace folianto {

// Everything one join puts on disk for a moment (its temporary output, links and copies of its
// inputs, the folders that hold them, decrypted copies, files the steps read back), and the only
// way any of it goes again. Each thing is its own from the moment it is made until it is removed
// or handed over to the user, and nothing else is ever removed: what stands at one of its paths
// goes only while it is the very file or folder it made there.
class JoinWorkspace {
 public:
  virtual ~JoinWorkspace() = default;

  // A new file with a made name ("folianto-" and eight letters, ".tmp") in folder, holding
  // content; its path, or the empty text when none could be made.
  virtual std::wstring MakeFile(const std::wstring& folder, std::string_view content = {}) = 0;
  // A new empty folder with a made name in folder, as its folder lets others use it.
  virtual std::wstring MakeFolder(const std::wstring& folder) = 0;
  // The join's folder in the user's temporary folder, which only this user can read, made the
  // first time it is asked for: the place for copies of inputs and for what is decrypted. The
  // empty text where none can be had.
  virtual std::wstring PrivateFolder() = 0;
  // A new empty file named name in folder, one this workspace made, for the tool to write.
  virtual std::wstring MakeNamedFile(const std::wstring& folder, const std::wstring& name) = 0;
  // The hard link named name in folder, one this workspace made, to the file target; its path, or
  // the empty text.
  virtual std::wstring MakeHardLink(const std::wstring& folder, const std::wstring& name,
                                    const std::wstring& target) = 0;
  // A copy of the file from named name in folder, one this workspace made; its path, or the empty
  // text. A copy cut short leaves nothing.
  virtual std::wstring MakeCopy(const std::wstring& folder, const std::wstring& name,
                                const std::wstring& from) = 0;
  // The tool has written the file at path, made here: what is there now is the join's.
  virtual void Wrote(const std::wstring& path) = 0;

  struct Naming {
    bool named = false;
    // When not named: where the file is kept for the user, who has it from now on.
    std::wstring kept;
  };
  // Gives the file made at path the name target, replacing a file there in one step; from another
  // folder it is copied beside target first, so a file there is only ever replaced by a whole
  // one. Where that fails, the file is handed over to the user as it is.
  virtual Naming GiveName(const std::wstring& path, const std::wstring& target) = 0;

  // Removes everything that is still the join's, the last made first; returns what it could not
  // remove, in that order. A later start of Folianto tries that again.
  virtual std::vector<std::wstring> RemoveAll() = 0;
  // What is still the join's, the first made first.
  virtual std::vector<std::wstring> Left() const = 0;
};

}  // namespace folianto

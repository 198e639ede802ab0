#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace folianto {

// Everything one join puts on disk for a moment, and the only way any of it goes again. It lies in
// two places: the join's own folder in the user's temporary folder (the stand-ins for inputs whose
// names the tool cannot read, what the steps make of the inputs' content, the tool's captured
// words), and the joined file's temporary name beside the output. Nothing is made anywhere else,
// and nothing else is ever removed.
class JoinWorkspace {
 public:
  virtual ~JoinWorkspace() = default;

  // The join's own folder, made the first time it is asked for: its path (empty where none can be
  // had), and whether only this user and the system can reach it. Nothing made of the inputs'
  // content goes into one that others can read (on a drive that keeps no access lists).
  struct Folder {
    std::wstring path;
    bool isPrivate = false;
  };
  virtual Folder OwnFolder() = 0;

  // A new empty file under a made name ("folianto-" and eight letters, ".tmp") beside target, the
  // output, for the tool to write the joined file into; its path, or the empty text.
  virtual std::wstring MakeBeside(const std::wstring& target) = 0;
  // A new file in the private own folder holding content; its path, or the empty text.
  virtual std::wstring MakeFile(std::string_view content = {}) = 0;
  // A stand-in in the own folder for the file at input, under a plain name: a hard link, where one
  // can be made and removed again without a change to the input, else a copy in the private own
  // folder; its path, or the empty text. A copy cut short leaves nothing.
  virtual std::wstring MakeStandIn(const std::wstring& input) = 0;

  struct Naming {
    bool named = false;
    // When not named: where the joined file is kept for the user, who has it from now on (empty
    // where what stands there is no longer the file the tool wrote), and the system's error.
    std::wstring kept = {};
    uint32_t error = 0;
    // Where the file that had the name target is kept, when it is neither there nor gone.
    std::wstring replacedKept = {};
  };
  // Gives the joined file at path the name target, replacing a file there in one step; from the
  // own folder it is copied beside target first, so a file there is only ever replaced by a whole
  // one. Where that fails, the file is handed over to the user as it is, before this returns, and
  // so is the replaced file, should the system have moved it aside on the way.
  virtual Naming GiveName(const std::wstring& path, const std::wstring& target) = 0;

  // Removes everything that is still the join's, the last made first; returns what it could not
  // remove, in that order. A later start of Folianto tries that again.
  virtual std::vector<std::wstring> RemoveAll() = 0;
  // What is still the join's, the first made first.
  virtual std::vector<std::wstring> Left() const = 0;
};

}  // namespace folianto

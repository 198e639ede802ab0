#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace folianto {

// The files of one join: those its tool reads and the one it writes, as the user named them.
struct JoinFiles {
  std::vector<std::wstring> inputs;
  std::wstring output;
};

// The position of the first of others that names the same file as path, however spelt; none.
using SameFileFinder =
    std::function<std::optional<size_t>(const std::wstring&, const std::vector<std::wstring>&)>;

// The joins still running, each nested in the wait of the one before. The window keeps the
// record, so that a join started while others wait never writes a file they read or write, nor
// reads one they write. Reading a file that they read too is no harm.
class RunningJoins {
 public:
  // Holds a join's files in the record while it lives.
  class Entry {
   public:
    Entry(RunningJoins& joins, JoinFiles files);
    ~Entry();
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;

   private:
    RunningJoins& joins_;
    JoinFiles files_;
  };

  // The file of files that a running join uses, as files names it; none when they are free.
  std::optional<std::wstring> FileInUse(const JoinFiles& files,
                                        const SameFileFinder& sameFileAmong) const;

 private:
  std::vector<const JoinFiles*> running_;
};

}  // namespace folianto

#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace folianto {

// The files of one join: those its tool reads and the one it writes, as the user named them.
struct JoinFiles {
  std::vector<std::wstring> inputs;
  std::wstring output;
};

// Where running joins mark the files they read and write, seen by every Folianto of the user's
// session. A mark lasts while its holder lives and goes with its process however that ends, so a
// crash or End task never leaves a file marked.
class FileClaims {
 public:
  enum class Use { Read, Write };
  // Holds its marks until it goes.
  class Held {
   public:
    virtual ~Held() = default;
  };

  virtual ~FileClaims() = default;
  // Whether a running join holds the file at path, however spelt, for that use.
  virtual bool Claimed(const std::wstring& path, Use use) = 0;
  // Marks the file at path for that use.
  virtual std::unique_ptr<Held> Hold(const std::wstring& path, Use use) = 0;
  // While the result lives, no other join anywhere looks at the marks or changes them, so a look
  // and the marks that follow it are one step.
  virtual std::unique_ptr<Held> Lock() = 0;
};

// The one record of the joins running in this program, each from its click to its end, nested
// one in another. The pointer, the progress bar and the close follow it, and each join holds its
// files against the joins of every Folianto through it, so that no join writes a file another
// reads or writes, nor reads one another writes. Reading a file others read too is no harm.
class RunningJoins {
 public:
  explicit RunningJoins(FileClaims& claims) : claims_(claims) {}
  RunningJoins(const RunningJoins&) = delete;
  RunningJoins& operator=(const RunningJoins&) = delete;

  // Told true when the first join begins, false when the last has ended.
  std::function<void(bool running)> onRunningChanged;

  class Join {
   public:
    explicit Join(RunningJoins& joins);
    ~Join();
    Join(const Join&) = delete;
    Join& operator=(const Join&) = delete;

    // Holds the join's files until it ends, unless a running join uses one of them: then that
    // file, as files names it, and nothing is held.
    std::optional<std::wstring> Claim(JoinFiles files);
    const JoinFiles& Files() const { return files_; }

    // What the join has made on disk and not removed, as far as it has told.
    void Made(const std::wstring& path);
    void Removed(const std::wstring& path);
    const std::vector<std::wstring>& Left() const { return made_; }

   private:
    RunningJoins& joins_;
    JoinFiles files_;
    std::vector<std::unique_ptr<FileClaims::Held>> held_;
    std::vector<std::wstring> made_;
  };

  bool Any() const { return !running_.empty(); }
  // The running joins, the first begun first.
  const std::vector<const Join*>& Joins() const { return running_; }

 private:
  FileClaims& claims_;
  std::vector<const Join*> running_;
};

}  // namespace folianto

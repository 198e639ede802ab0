#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "join/JoinWorkspace.h"

namespace folianto {

// The files of one join: those its tool reads and the one it writes, as the user named them.
struct JoinFiles {
  std::vector<std::wstring> inputs;
  std::wstring output;
};

// Where running joins mark the files they read and write, seen by every Folianto of the user's
// session. A mark lasts while its holder lives and the tools it was shared with run, and goes with
// the last of them however they end, so a crash or End task never leaves a file marked, nor
// unmarked while a tool still writes it.
class FileClaims {
 public:
  enum class Use { Read, Write };
  // What a file goes by among the marks, however it is spelt: two keys that share a name are of
  // one file. Read from the file system before the marks are looked at.
  struct Key {
    std::wstring path;
    std::vector<std::wstring> names;
  };
  // Holds its marks until it goes.
  class Held {
   public:
    virtual ~Held() = default;
    // What a tool the join starts holds too, so that the marks last as long as it runs.
    virtual std::vector<void*> Handles() const = 0;
  };
  // While it lives, no other join anywhere looks at the marks or changes them.
  class Locked {
   public:
    virtual ~Locked() = default;
  };

  virtual ~FileClaims() = default;
  // The keys of the files at paths, in their order.
  virtual std::vector<Key> KeysOf(const std::vector<std::wstring>& paths) = 0;
  // Whether a running join holds the file for that use; none where its marks cannot be looked at.
  virtual std::optional<bool> Claimed(const Key& file, Use use) = 0;
  // Null where a mark cannot be made.
  virtual std::unique_ptr<Held> Hold(const Key& file, Use use) = 0;
  // None when another join did not let go within a moment; meanwhile the window runs.
  virtual std::unique_ptr<Locked> Lock() = 0;
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

    // Holds the join's files until it and every tool it started have ended, unless the output is
    // one of the inputs however spelt, a running join uses one of them, or the marks cannot be
    // looked at or made: then what to tell the user, and nothing is held. A look at the marks and
    // the marking that follows it are one step.
    std::optional<std::wstring> ClaimFiles(JoinFiles files);
    const JoinFiles& Files() const { return files_; }
    // What each tool the join starts holds, so that its marks outlive the program while the tool
    // still writes.
    std::vector<void*> ForTools() const;
    // The join waits for a tool or a copy, or no longer.
    void Waiting(bool waiting);

    // What the join has on disk, as its workspace tells it.
    void Use(const JoinWorkspace& workspace) { workspace_ = &workspace; }
    std::vector<std::wstring> Left() const;

   private:
    RunningJoins& joins_;
    JoinFiles files_;
    std::vector<std::unique_ptr<FileClaims::Held>> held_;
    const JoinWorkspace* workspace_ = nullptr;
    bool waiting_ = false;
  };

  // Told whenever a join begins or ends its wait for a tool or a copy.
  std::function<void()> onWaitingChanged;

  bool Any() const { return !running_.empty(); }
  // How many of the joins wait for a tool or a copy.
  size_t Waiting() const { return waiting_; }
  // The running joins, the first begun first.
  const std::vector<const Join*>& Joins() const { return running_; }

 private:
  FileClaims& claims_;
  std::vector<const Join*> running_;
  size_t waiting_ = 0;
};

}  // namespace folianto

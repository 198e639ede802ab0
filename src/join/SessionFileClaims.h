#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "join/RunningJoins.h"
#include "platform/UniqueHandle.h"

namespace folianto {

// File claims as named objects of the user's session: every Folianto sees them, and the system
// drops them when the last program that holds them (the Folianto and the tools it shared them
// with) ends, however it ends. A file goes by its identity (its volume's serial number and its file
// id) and by its folder's identity and its name (an output not made yet), or by its full path
// where a server tells no identities; a claim marks each of them, and any of them found marked
// means the file is claimed.
class SessionFileClaims final : public FileClaims {
 public:
  // Waits up to timeoutMs for the handle to be signalled, true when it was; the caller chooses
  // what runs meanwhile.
  using TimedWait = std::function<bool(HANDLE handle, unsigned timeoutMs)>;
  explicit SessionFileClaims(TimedWait wait);

  std::vector<Key> KeysOf(const std::vector<std::wstring>& paths) override;
  std::optional<bool> Claimed(const Key& file, Use use) override;
  std::unique_ptr<Held> Hold(const Key& file, Use use) override;
  std::unique_ptr<Locked> Lock() override;

 private:
  TimedWait wait_;
};

}  // namespace folianto

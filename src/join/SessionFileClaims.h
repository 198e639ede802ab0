#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "join/RunningJoins.h"

namespace folianto {

// File claims as named objects of the user's session: every Folianto sees them, and the system
// drops a process's own when it ends, however it ends. A file goes by its identity (its volume's
// serial number and its file id) and by its folder's identity and its name (an output not made
// yet), or by its full path where a server tells no identities; a claim marks each of them, and
// any of them found marked means the file is claimed.
class SessionFileClaims final : public FileClaims {
 public:
  bool Claimed(const std::wstring& path, Use use) override;
  std::unique_ptr<Held> Hold(const std::wstring& path, Use use) override;
  std::unique_ptr<Held> Lock() override;

 private:
  class HeldLock;
  // The names of each file's claims, without their use, kept while the lock is held: a claim
  // looks each file up once.
  std::vector<std::wstring> ClaimNames(const std::wstring& path, Use use);
  std::map<std::wstring, std::vector<std::wstring>> names_;
  // Each folder's identity as part of a name; empty where it has none.
  std::map<std::wstring, std::wstring> folders_;
  bool locked_ = false;
};

}  // namespace folianto

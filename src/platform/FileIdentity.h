#pragma once

#include <compare>
#include <cstdint>

namespace folianto {

// What tells one file or folder from another whatever path leads to it (another drive letter or
// a network name for the same share, a folder link, a short name, a hard link): the serial number
// of its volume and its index on that volume, 128 bits wide where the file system has them (ReFS).
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t index = 0;  // the low 64 bits
  uint64_t indexHigh = 0;

  // Some network servers report the index 0 for every file: such an identity tells nothing, and
  // is never taken for the same file as another.
  bool Known() const { return index != 0 || indexHigh != 0; }
  auto operator<=>(const FileIdentity&) const = default;
};

}  // namespace folianto

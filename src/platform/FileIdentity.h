#pragma once

#include <compare>
#include <cstdint>

namespace folianto {

// What tells one file or folder from another whatever path leads to it (another drive letter or
// a network name for the same share, a folder link, a short name, a hard link): the serial number
// of its volume and its index on that volume.
struct FileIdentity {
  uint32_t volume = 0;
  uint64_t index = 0;
  auto operator<=>(const FileIdentity&) const = default;
};

}  // namespace folianto

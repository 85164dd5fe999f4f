#pragma once

#include <cstdint>

// The `size` bytes at `at` (1 to 8) as one unsigned number: least significant byte first,
// as STL, GLB and glTF's buffers store them, or most significant first where
// `bigEndian`. Read byte by byte, so the machine's own order never matters.
inline std::uint64_t numberAt(const unsigned char* at, int size, bool bigEndian = false) {
  std::uint64_t bits = 0;
  for (int i = 0; i < size; ++i)
    bits = (bits << 8) | at[bigEndian ? i : size - 1 - i];
  return bits;
}

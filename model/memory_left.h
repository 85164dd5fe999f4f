#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Bytes this process may still take before the system refuses them or ends it, as far as
// can be told: the memory the kernel counts as available (MemAvailable), within what the
// process's control group allows it (cgroup v2 or v1) and within its address-space
// limit. Nothing where none of them can be read.
std::optional<std::uint64_t> memoryLeft();

// Throws SceneFileError, naming `path`, where `bytes` more, needed for `what`, would not
// fit in what memoryLeft() says: a model is refused before the allocation, not ended by
// the kernel for lack of memory part way through.
void requireMemoryFor(const std::string& path, std::uint64_t bytes, const std::string& what);

#include "model/memory_left.h"

#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "model/scene_file_error.h"

namespace {

// The first number in a file, or nothing ("max", or no such file).
std::optional<std::uint64_t> numberIn(const std::string& file) {
  std::ifstream in(file);
  std::uint64_t value = 0;
  if (in >> value) return value;
  return std::nullopt;
}

// What the kernel counts as available: free memory and what it can reclaim.
std::optional<std::uint64_t> available() {
  std::ifstream in("/proc/meminfo");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("MemAvailable:", 0) != 0) continue;
    std::istringstream fields(line.substr(13));
    std::uint64_t kilobytes = 0;
    if (fields >> kilobytes) return kilobytes * 1024;
  }
  return std::nullopt;
}

// What the control group lets the process take besides what it already holds.
std::optional<std::uint64_t> groupLeft() {
  for (const auto& [limit, usage] :
       {std::pair{"/sys/fs/cgroup/memory.max", "/sys/fs/cgroup/memory.current"},
        {"/sys/fs/cgroup/memory/memory.limit_in_bytes",
         "/sys/fs/cgroup/memory/memory.usage_in_bytes"}}) {
    const auto most = numberIn(limit);
    const auto used = numberIn(usage);
    if (most && used) return *most > *used ? *most - *used : 0;
  }
  return std::nullopt;
}

// What the address-space limit leaves, counted against the process's present size.
std::optional<std::uint64_t> addressSpaceLeft() {
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
  std::ifstream in("/proc/self/statm");
  std::uint64_t pages = 0;
  if (!(in >> pages)) return std::nullopt;
  const std::uint64_t size = pages * 4096;
  return limit.rlim_cur > size ? limit.rlim_cur - size : 0;
}

}  // namespace

std::optional<std::uint64_t> memoryLeft() {
  std::optional<std::uint64_t> left;
  for (const std::optional<std::uint64_t> bound : {available(), groupLeft(), addressSpaceLeft()})
    if (bound) left = left ? std::min(*left, *bound) : *bound;
  return left;
}

void requireMemoryFor(const std::string& path, std::uint64_t bytes, const std::string& what) {
  const std::optional<std::uint64_t> left = memoryLeft();
  if (!left || bytes <= *left) return;
  const auto megabytes = [](std::uint64_t b) { return std::to_string((b + (1 << 20) - 1) >> 20); };
  throw SceneFileError(path + ": too large to hold in memory: " + what + " needs about " +
                       megabytes(bytes) + " MB, and " + megabytes(*left) + " MB are left");
}

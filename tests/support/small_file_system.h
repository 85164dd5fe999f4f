#pragma once

#include <sys/mount.h>

#include <filesystem>
#include <string>

// A tmpfs of `size` (as mount takes it, "64k") mounted at `at`, made for the test, and
// unmounted however the test ends. `mounted` is false where the test may not mount
// (not root); the test should skip then.
class SmallFileSystem {
 public:
  SmallFileSystem(const std::filesystem::path& at, const std::string& size) : at_(at) {
    std::filesystem::create_directories(at_);
    mounted = mount("quadrelle", at_.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
  }
  ~SmallFileSystem() {
    if (mounted) umount(at_.c_str());
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  bool mounted = false;

 private:
  std::filesystem::path at_;
};

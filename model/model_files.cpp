#include "model/model_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "model/memory_left.h"
#include "model/scene_file_error.h"

namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

std::string sizeText(std::size_t bytes) {
  return bytes % (1 << 20) == 0 ? std::to_string(bytes >> 20) + " MiB"
                                : std::to_string(bytes) + " bytes";
}

// What one path led to.
struct Attempt {
  std::optional<ModelFile> file;
  std::string problem;   // why it cannot be read, where it is there
  bool absent = false;   // nothing of that name
  bool outside = false;  // leads out of the model's folder tree
};

std::string descriptorPath(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

// Where the file behind `fd` really lies, links resolved by the kernel.
std::string realPathOf(int fd) {
  char target[4096];
  const ssize_t length = ::readlink(descriptorPath(fd).c_str(), target, sizeof target - 1);
  return length > 0 ? std::string(target, std::size_t(length)) : std::string();
}

bool inside(const std::string& path, const std::string& root) {
  return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                          (root == "/" || path[root.size()] == '/'));
}

std::string kindProblem(mode_t mode) {
  if (S_ISDIR(mode)) return "is a folder, not a file";
  if (S_ISFIFO(mode)) return "is a pipe, not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a regular file";
  return "is not a regular file";
}

bool readAll(int fd, std::size_t largest, std::string& bytes) {
  char chunk[1 << 16];
  while (true) {
    const ssize_t count = ::read(fd, chunk, sizeof chunk);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return false;
    if (count == 0) return true;
    bytes.append(chunk, std::size_t(count));
    if (bytes.size() > largest) {
      errno = EFBIG;
      return false;
    }
  }
}

// The file at `path`, if it is a regular file of at most `largest` bytes inside `root`
// (anywhere when `root` is empty). It is opened first as a mere handle, which opens no
// device and waits on no pipe, and read through that handle only once it is known to be
// a regular file where it may be: a link changed in between changes nothing.
Attempt attempt(const std::string& path, const std::string& root, std::size_t largest) {
  Attempt result;
  const FileDescriptor handle(::open(path.c_str(), O_PATH | O_CLOEXEC));
  if (handle.get() < 0) {
    result.absent = errno == ENOENT || errno == ENOTDIR;
    result.problem = std::string("cannot be read: ") + std::strerror(errno);
    return result;
  }
  if (!root.empty() && !inside(realPathOf(handle.get()), root)) {
    result.outside = true;
    return result;
  }
  struct stat status {};
  if (::fstat(handle.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    result.problem = kindProblem(status.st_mode);
    return result;
  }
  if (std::size_t(status.st_size) > largest) {
    result.problem = "is larger than " + sizeText(largest);
    return result;
  }
  const FileDescriptor file(
      ::open(descriptorPath(handle.get()).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  ModelFile read{path,
                 std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino),
                 realPathOf(handle.get()),
                 {}};
  // Room for the whole file at once: grown as it is read, a string would at times hold
  // nearly twice the file.
  if (const auto left = memoryLeft(); left && std::uint64_t(status.st_size) > *left) {
    result.problem = "is too large to hold in memory";
    return result;
  }
  read.bytes.reserve(std::size_t(status.st_size));
  if (file.get() < 0 || !readAll(file.get(), largest, read.bytes)) {
    result.problem = errno == EFBIG ? "is larger than " + sizeText(largest)
                                    : std::string("cannot be read: ") + std::strerror(errno);
    return result;
  }
  result.file = std::move(read);
  return result;
}

std::string withSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string lastComponent(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  // "C:tex.png", a drive letter without a folder.
  if (name.size() > 2 && name[1] == ':') name = name.substr(2);
  return name;
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// The entry of `folder` whose name is `name` in another letter case, or "".
std::string entryIgnoringCase(const std::string& folder, const std::string& name) {
  constexpr int kMostEntries = 100000;
  std::error_code code;
  std::filesystem::directory_iterator entries(folder, code);
  int seen = 0;
  for (; !code && entries != std::filesystem::directory_iterator() && seen < kMostEntries;
       entries.increment(code), ++seen) {
    const std::string entry = entries->path().filename().string();
    if (sameIgnoringCase(entry, name)) return folder + "/" + entry;
  }
  return "";
}

}  // namespace

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

DiskModelFiles::DiskModelFiles(const std::string& root, bool outsideAllowed) : ModelFiles(root) {
  if (outsideAllowed) return;
  std::error_code code;
  root_ = std::filesystem::canonical(root, code).string();
  if (code) root_ = "/nowhere/";  // a folder that cannot be resolved lets nothing in
}

std::optional<ModelFile> DiskModelFiles::find(const std::string& written,
                                              const std::vector<std::string>& folders,
                                              std::size_t largest,
                                              std::vector<std::string>& problems) {
  const std::string path = withSlashes(written);
  const std::string name = lastComponent(path);
  std::vector<std::string> candidates;
  for (const std::string& folder : folders)
    candidates.push_back(!path.empty() && path[0] == '/' ? path : folder + "/" + path);
  for (const std::string& folder : folders)
    candidates.push_back(folder + "/" + name);
  bool outside = false;
  for (const std::string& candidate : candidates) {
    const Attempt tried = attempt(candidate, root_, largest);
    outside = outside || tried.outside;
    if (tried.file) {
      if (outside)
        problems.push_back("'" + written + "' lies outside the model's folder; read '" + candidate +
                           "' instead (--allow-outside-files reads it)");
      return tried.file;
    }
    if (!tried.absent && !tried.outside) {
      problems.push_back("'" + written + "' " + tried.problem);
      return std::nullopt;
    }
  }
  for (const std::string& folder : folders) {
    const std::string entry = entryIgnoringCase(folder, name);
    if (entry.empty()) continue;
    Attempt tried = attempt(entry, root_, largest);
    if (tried.file) return std::move(tried.file);
  }
  problems.push_back(outside ? "'" + written +
                                   "' lies outside the model's folder, and no file of its name "
                                   "is inside (--allow-outside-files reads it)"
                             : "'" + written + "' not found");
  return std::nullopt;
}

std::optional<ModelFile> MemoryModelFiles::find(const std::string& written,
                                                const std::vector<std::string>&,
                                                std::size_t largest,
                                                std::vector<std::string>& problems) {
  const std::string name = lastComponent(withSlashes(written));
  const auto found = files_.find(name);
  if (found == files_.end() || found->second.size() > largest) {
    problems.push_back("'" + written + "' not found");
    return std::nullopt;
  }
  return ModelFile{name, name, name, found->second};
}

ModelFile readModelFile(const std::string& path, std::size_t largest) {
  Attempt tried = attempt(path, "", largest);
  if (!tried.file) throw SceneFileError(path + ": " + tried.problem);
  return std::move(*tried.file);
}

#include "tools/cli/picture_set.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/imaging/png_file.h"

namespace {

// The temporary files a signal handler removes, as plain characters it can read
// without allocating: one set at a time.
struct Temporaries {
  static constexpr int kMost = 16;
  int folder = -1;
  char names[kMost][NAME_MAX + 1] = {};
  volatile sig_atomic_t count = 0;
};
Temporaries temporaries;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void removeTemporariesAndEnd(int signal) {
  for (int i = 0; i < temporaries.count; ++i)
    ::unlinkat(temporaries.folder, temporaries.names[i], 0);
  // End as the signal would have ended the program.
  ::signal(signal, SIG_DFL);
  raise(signal);
}

// Once for the program, before its first temporary file: a signal the program was
// started with ignored (nohup, a background shell) stays ignored.
void handleInterruptions() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int s : kSignals) {
    struct sigaction now {};
    if (sigaction(s, nullptr, &now) != 0 || now.sa_handler == SIG_IGN) continue;
    struct sigaction remove {};
    remove.sa_handler = removeTemporariesAndEnd;
    sigfillset(&remove.sa_mask);
    sigaction(s, &remove, nullptr);
  }
}

// Holds SIGINT, SIGTERM and SIGHUP back while a temporary file is made and listed, so
// that none exists unlisted. A few system calls long.
class HeldSignals {
 public:
  HeldSignals() {
    sigset_t held;
    sigemptyset(&held);
    for (int s : kSignals)
      sigaddset(&held, s);
    sigprocmask(SIG_BLOCK, &held, &before_);
  }
  ~HeldSignals() { sigprocmask(SIG_SETMASK, &before_, nullptr); }
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;

 private:
  sigset_t before_;
};

std::string randomSuffix() {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  unsigned char bytes[8] = {};
  if (getrandom(bytes, sizeof bytes, 0) != ssize_t(sizeof bytes)) {
    const unsigned long seed = (unsigned long)getpid() ^ (unsigned long)(std::size_t)&bytes;
    std::memcpy(bytes, &seed, std::min(sizeof seed, sizeof bytes));
  }
  std::string suffix;
  for (unsigned char b : bytes)
    suffix += kLetters[b % (sizeof kLetters - 1)];
  return suffix;
}

// A new file of a name of its own in the folder, listed for the signal handler: its
// descriptor, or -1 with errno set.
int makeTemporary(int folder, const std::string& file, std::string& name) {
  const HeldSignals held;
  if (temporaries.count == Temporaries::kMost) {
    errno = EMFILE;
    return -1;
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = "." + file + "." + randomSuffix();
    if (name.size() > NAME_MAX) name = "." + randomSuffix() + ".png";
    const int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd >= 0) {
      std::snprintf(temporaries.names[temporaries.count], NAME_MAX + 1, "%s", name.c_str());
      temporaries.count = temporaries.count + 1;
    }
    return fd;
  }
  return -1;
}

// Drops a name from the handler's list; the last one takes its place.
void unlist(const std::string& name) {
  const HeldSignals held;
  for (int i = 0; i < temporaries.count; ++i) {
    if (name != temporaries.names[i]) continue;
    const int last = temporaries.count - 1;
    std::memcpy(temporaries.names[i], temporaries.names[last], NAME_MAX + 1);
    temporaries.count = last;
    return;
  }
}

// The PNG, written whole and on disk: flushed, synced and closed.
bool writeWhole(const Image& picture, int fd) {
  std::FILE* stream = fdopen(fd, "wb");
  if (stream == nullptr) {
    ::close(fd);
    return false;
  }
  errno = 0;
  bool written = encodePng(picture, stream) && std::fflush(stream) == 0 && ::fsync(fd) == 0;
  const int reason = errno;
  written = std::fclose(stream) == 0 && written;
  if (!written && errno == 0) errno = reason;
  return written;
}

std::string resolvedPath(int fd, const std::string& fallback) {
  char target[PATH_MAX];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
  return length > 0 ? std::string(target, std::size_t(length)) : fallback;
}

}  // namespace

PictureSet::PictureSet(const std::string& folder, std::vector<std::string> ownNames)
    : folder_(folder), ownNames_(std::move(ownNames)) {}

PictureSet::~PictureSet() {
  removeTemporaries();
  if (folderFd_ >= 0) ::close(folderFd_);
}

bool PictureSet::open(std::string& error) {
  handleInterruptions();
  folderFd_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd_ < 0) {
    error = "cannot write to " + folder_ + ": " + std::strerror(errno);
    return false;
  }
  folder_ = resolvedPath(folderFd_, folder_);
  temporaries.folder = folderFd_;
  return true;
}

std::string PictureSet::pathOf(const std::string& file) const {
  return folder_ == "/" ? "/" + file : folder_ + "/" + file;
}

bool PictureSet::add(const std::string& file, const Image& picture, std::string& error) {
  std::string temporary;
  const int fd = makeTemporary(folderFd_, file, temporary);
  if (fd >= 0) temporaries_.push_back({file, temporary});
  if (fd < 0 || !writeWhole(picture, fd)) {
    const int reason = errno;
    error = "cannot write " + pathOf(file) + ": " +
            (reason != 0 ? std::strerror(reason) : "the PNG could not be encoded");
    return false;
  }
  return true;
}

namespace {

// Why `name` in the folder could not be replaced by a rename or removed, or "" where it
// can, as far as can be told before trying: a folder in the way, or a file of another
// user in a folder where only owners may replace their files (the sticky bit of /tmp).
std::string cannotReplace(int folder, const std::string& name) {
  struct stat target {};
  if (fstatat(folder, name.c_str(), &target, AT_SYMLINK_NOFOLLOW) != 0) return "";
  if (S_ISDIR(target.st_mode)) return "a folder of that name is in the way";
  struct stat self {};
  if (fstat(folder, &self) != 0) return "";
  const uid_t user = geteuid();
  if ((self.st_mode & S_ISVTX) != 0 && user != 0 && target.st_uid != user && self.st_uid != user) {
    return "it belongs to another user, in a folder where only owners may replace files";
  }
  return "";
}

}  // namespace

std::vector<std::string> PictureSet::staleNames() const {
  std::vector<std::string> stale;
  for (const std::string& own : ownNames_) {
    const bool written = std::any_of(temporaries_.begin(), temporaries_.end(),
                                     [&](const auto& named) { return named.first == own; });
    if (!written) stale.push_back(own);
  }
  return stale;
}

bool PictureSet::keep(std::string& error) {
  // Every target is checked before the first rename, so that a run refused here leaves
  // every old picture as it was.
  for (const auto& named : temporaries_) {
    if (const std::string why = cannotReplace(folderFd_, named.first); !why.empty()) {
      error = "cannot write " + pathOf(named.first) + ": " + why;
      return false;
    }
  }
  const std::vector<std::string> stale = staleNames();
  for (const std::string& name : stale) {
    if (const std::string why = cannotReplace(folderFd_, name); !why.empty()) {
      error = "cannot remove the old " + pathOf(name) + ": " + why;
      return false;
    }
  }
  for (std::size_t i = 0; i < temporaries_.size(); ++i) {
    const auto& [file, temporary] = temporaries_[i];
    if (::renameat(folderFd_, temporary.c_str(), folderFd_, file.c_str()) != 0) {
      // Only a failure no check could foresee (the disk, or another program) comes here.
      error = "cannot write " + pathOf(file) + ": " + std::strerror(errno) +
              (i == 0 ? ""
                      : "; the pictures before it were replaced, and it and those after "
                        "it were not");
      temporaries_.erase(temporaries_.begin(), temporaries_.begin() + long(i));
      return false;
    }
    unlist(temporary);
  }
  temporaries_.clear();
  for (const std::string& name : stale) {
    if (::unlinkat(folderFd_, name.c_str(), 0) != 0 && errno != ENOENT) {
      error = "wrote the pictures, but cannot remove the old " + pathOf(name) + ": " +
              std::strerror(errno);
      return false;
    }
  }
  // The renames themselves on disk too.
  if (::fsync(folderFd_) != 0) {
    error = "wrote the pictures, but cannot flush the folder " + folder_ +
            " to disk: " + std::strerror(errno);
    return false;
  }
  return true;
}

void PictureSet::removeTemporaries() {
  for (const auto& named : temporaries_) {
    ::unlinkat(folderFd_, named.second.c_str(), 0);
    unlist(named.second);
  }
  temporaries_.clear();
}

#include "tools/cli/picture_set.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/random.h>
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
    unlinkat(temporaries.folder, temporaries.names[i], 0);
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
    const int fd = openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
    close(fd);
    return false;
  }
  errno = 0;
  bool written = encodePng(picture, stream) && std::fflush(stream) == 0 && fsync(fd) == 0;
  const int reason = errno;
  written = std::fclose(stream) == 0 && written;
  if (!written && errno == 0) errno = reason;
  return written;
}

std::string resolvedPath(int fd, const std::string& fallback) {
  char target[PATH_MAX];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
  return length > 0 ? std::string(target, std::size_t(length)) : fallback;
}

}  // namespace

PictureSet::PictureSet(const std::string& folder, std::vector<std::string> ownNames)
    : folder_(folder), ownNames_(std::move(ownNames)) {}

PictureSet::~PictureSet() {
  removeTemporaries();
  if (folderFd_ >= 0) close(folderFd_);
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

bool PictureSet::keep(std::string& error) {
  for (std::size_t i = 0; i < temporaries_.size(); ++i) {
    const auto& [file, temporary] = temporaries_[i];
    if (renameat(folderFd_, temporary.c_str(), folderFd_, file.c_str()) != 0) {
      error = "cannot write " + pathOf(file) + ": " + std::strerror(errno);
      temporaries_.erase(temporaries_.begin(), temporaries_.begin() + long(i));
      return false;
    }
    unlist(temporary);
  }
  std::vector<std::string> written;
  for (const auto& named : temporaries_)
    written.push_back(named.first);
  temporaries_.clear();
  for (const std::string& own : ownNames_) {
    if (std::find(written.begin(), written.end(), own) == written.end()) {
      unlinkat(folderFd_, own.c_str(), 0);
    }
  }
  // The renames themselves on disk too.
  fsync(folderFd_);
  return true;
}

void PictureSet::removeTemporaries() {
  for (const auto& named : temporaries_) {
    unlinkat(folderFd_, named.second.c_str(), 0);
    unlist(named.second);
  }
  temporaries_.clear();
}

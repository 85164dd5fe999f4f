#include "tools/cli/picture_set.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "tools/imaging/png_file.h"

namespace {

namespace fs = std::filesystem;

// What a signal handler removes: the staging folder and the pictures written or being
// written into it, as plain strings it can read without allocating. One set at a time.
struct Leftovers {
  static constexpr int kFiles = 16;
  char folder[PATH_MAX] = {};
  char files[kFiles][PATH_MAX] = {};
  int count = 0;
};
Leftovers leftovers;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previous[std::size(kSignals)];

void removeLeftovers(int signal) {
  for (int i = 0; i < leftovers.count; ++i)
    unlink(leftovers.files[i]);
  if (leftovers.folder[0] != '\0') rmdir(leftovers.folder);
  // End as the signal would have ended the program.
  ::signal(signal, SIG_DFL);
  raise(signal);
}

// Holds SIGINT, SIGTERM and SIGHUP back while it lives: the leftovers are changing, or
// the set is being swapped in.
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

 private:
  sigset_t before_;
};

void copyPath(char (&to)[PATH_MAX], const std::string& path) {
  std::snprintf(to, sizeof to, "%s", path.c_str());
}

std::string reason(int error) {
  return std::strerror(error);
}

// Removes everything in a folder that holds files only, then the folder.
void removeFolder(const std::string& folder) {
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

bool isWorkingFolderOrAbove(const std::string& folder) {
  std::error_code code;
  const fs::path here = fs::canonical(fs::current_path(code), code);
  const fs::path there = fs::canonical(folder, code);
  if (code) return true;
  const std::string h = here.string() + "/";
  const std::string t = there.string() + "/";
  return h.compare(0, t.size(), t) == 0;
}

// Whether a fresh folder beside `folder` can be swapped with it: it is a real folder
// of files only, not the working folder or one above it, on the file system of its
// parent.
bool canSwap(const std::string& folder, const std::string& parent) {
  struct stat self;
  struct stat above;
  if (lstat(folder.c_str(), &self) != 0 || !S_ISDIR(self.st_mode)) return false;
  if (stat(parent.c_str(), &above) != 0 || above.st_dev != self.st_dev) return false;
  if (isWorkingFolderOrAbove(folder)) return false;
  std::error_code code;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, code)) {
    if (!entry.is_regular_file(code) || entry.is_symlink(code)) return false;
  }
  return !code;
}

// The folder's path without a trailing separator, and the folder above it.
std::pair<std::string, std::string> folderAndParent(const std::string& folder) {
  fs::path path = fs::path(folder).lexically_normal();
  if (path.filename().empty()) path = path.parent_path();
  const fs::path parent = path.parent_path();
  return {path.string(), parent.empty() ? std::string(".") : parent.string()};
}

}  // namespace

PictureSet::PictureSet(std::string folder) : folder_(std::move(folder)) {}

PictureSet::~PictureSet() {
  removeStaging();
  if (handlersInstalled_) {
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
      sigaction(kSignals[i], &previous[i], nullptr);
  }
}

bool PictureSet::makeStaging(std::string& error) {
  const auto [folder, parent] = folderAndParent(folder_);
  std::string beside = parent + "/." + fs::path(folder).filename().string() + ".XXXXXX";
  std::string inside = folder + "/.quadrelle-pictures.XXXXXX";
  besideFolder_ = canSwap(folder, parent) && mkdtemp(beside.data()) != nullptr;
  if (!besideFolder_ && mkdtemp(inside.data()) == nullptr) {
    const int failure = errno;
    error = "cannot write to " + folder_ + ": " + reason(failure);
    return false;
  }
  staging_ = besideFolder_ ? beside : inside;
  // A fresh folder is only the owner's; the one swapped in keeps the folder's modes.
  struct stat modes;
  if (besideFolder_ && stat(folder.c_str(), &modes) == 0)
    chmod(staging_.c_str(), modes.st_mode & 07777);
  HeldSignals held;
  copyPath(leftovers.folder, staging_);
  leftovers.count = 0;
  if (!handlersInstalled_) {
    struct sigaction remove {};
    remove.sa_handler = removeLeftovers;
    sigemptyset(&remove.sa_mask);
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
      sigaction(kSignals[i], &remove, &previous[i]);
    handlersInstalled_ = true;
  }
  return true;
}

bool PictureSet::add(const std::string& file, const Image& picture, std::string& error) {
  if (staging_.empty() && !makeStaging(error)) return false;
  const std::string path = staging_ + "/" + file;
  {
    HeldSignals held;
    if (leftovers.count < Leftovers::kFiles) copyPath(leftovers.files[leftovers.count++], path);
  }
  if (!writePngFile(picture, path, error)) return false;
  files_.push_back(file);
  return true;
}

bool PictureSet::keep(std::string& error) {
  if (staging_.empty()) return true;
  HeldSignals held;
  const bool kept = (besideFolder_ && swapIn(error)) || (error.empty() && moveIn(error));
  removeStaging();
  return kept;
}

bool PictureSet::swapIn(std::string& error) {
  const std::string folder = folderAndParent(folder_).first;
  // The folder's other files go into the new one, so that only the set changes.
  std::error_code code;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, code)) {
    const std::string name = entry.path().filename().string();
    if (std::find(files_.begin(), files_.end(), name) != files_.end()) continue;
    if (!entry.is_regular_file(code) || entry.is_symlink(code)) return false;
    if (link(entry.path().c_str(), (staging_ + "/" + name).c_str()) != 0 && errno != EEXIST) {
      return false;
    }
  }
  if (code) return false;
  if (renameat2(AT_FDCWD, staging_.c_str(), AT_FDCWD, folder.c_str(), RENAME_EXCHANGE) != 0) {
    if (errno != ENOENT) return false;
    // The folder went away meanwhile: the new one takes its place.
    if (rename(staging_.c_str(), folder.c_str()) != 0) {
      const int failure = errno;
      error = "cannot write " + folder_ + ": " + reason(failure);
      return false;
    }
    staging_.clear();
  }
  return true;
}

bool PictureSet::moveIn(std::string& error) {
  for (const std::string& file : files_) {
    const std::string target = folder_ + "/" + file;
    if (rename((staging_ + "/" + file).c_str(), target.c_str()) != 0) {
      const int failure = errno;
      error = "cannot write " + target + ": " + reason(failure);
      return false;
    }
  }
  return true;
}

void PictureSet::removeStaging() {
  if (staging_.empty()) return;
  HeldSignals held;
  removeFolder(staging_);
  staging_.clear();
  leftovers.folder[0] = '\0';
  leftovers.count = 0;
}

#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/imaging/image.h"

// Exit statuses of the tools: 0 when done, 1 when something failed on the way, 2 when
// the command line was refused (and nothing was written).
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Prints "program: message" on standard error, with a pointer to --help for a refused
// command line, and returns the status.
int fail(const std::string& program, const std::string& message, int status);

// Prints "program: message" on standard error for an input file that cannot be used, and
// returns kExitUsage: nothing is written for it.
int refuseInput(const std::string& program, const std::string& message);

// Prints "program: warning: message" on standard error for each warning.
void warn(const std::string& program, const std::vector<std::string>& warnings);

// Makes the folder if need be and proves that files can be made in it, before anything
// is rendered; false, with the system's reason in `error`, otherwise.
bool prepareFolder(const std::string& folder, std::string& error);

// Pictures written as one result, each under its file name in a folder: each is written
// under a temporary name as it is added, and only when every one is whole are they
// renamed into place. When one cannot be written, or the set is dropped before it is
// kept, the temporaries go and the folder is as it was.
class PictureSet {
 public:
  explicit PictureSet(std::string folder) : folder_(std::move(folder)) {}
  ~PictureSet();
  PictureSet(const PictureSet&) = delete;
  PictureSet& operator=(const PictureSet&) = delete;

  bool add(const std::string& file, const Image& picture, std::string& error);
  bool keep(std::string& error);

 private:
  std::string folder_;
  std::vector<std::string> files_;
  std::vector<std::string> temporaries_;
};

// Writes the report to standard output and flushes it; false, with the reason in
// `error`, when it cannot be written whole (a full disk, a closed pipe).
bool writeReport(const std::string& text, std::string& error);

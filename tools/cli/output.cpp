#include "tools/cli/output.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "tools/cli/numbers.h"
#include "tools/imaging/png_file.h"

int fail(const std::string& program, const std::string& message, int status) {
  std::cerr << program << ": " << message << "\n";
  if (status == kExitUsage) std::cerr << "Run " << program << " --help for the options.\n";
  return status;
}

int refuseInput(const std::string& program, const std::string& message) {
  std::cerr << program << ": " << message << "\n";
  return kExitUsage;
}

void warn(const std::string& program, const std::vector<std::string>& warnings) {
  for (const std::string& warning : warnings)
    std::cerr << program << ": warning: " << warning << "\n";
}

bool prepareFolder(const std::string& folder, std::string& error) {
  std::error_code code;
  std::filesystem::create_directories(folder, code);
  if (code) {
    error = "cannot make the folder " + quoted(folder) + ": " + code.message();
    return false;
  }
  std::string probe = folder + "/.quadrelle-probe-XXXXXX";
  const int file = mkstemp(probe.data());
  if (file < 0) {
    error = "cannot write to " + quoted(folder) + ": " + std::strerror(errno);
    return false;
  }
  close(file);
  std::remove(probe.c_str());
  return true;
}

PictureSet::~PictureSet() {
  for (const std::string& temporary : temporaries_)
    std::remove(temporary.c_str());
}

bool PictureSet::add(const std::string& file, const Image& picture, std::string& error) {
  const std::string temporary = folder_ + "/." + file + ".partial";
  if (!writePngFile(picture, temporary, error)) return false;
  files_.push_back(folder_ + "/" + file);
  temporaries_.push_back(temporary);
  return true;
}

bool PictureSet::keep(std::string& error) {
  while (!temporaries_.empty()) {
    if (std::rename(temporaries_.front().c_str(), files_.front().c_str()) != 0) {
      error = "cannot write " + files_.front() + ": " + std::strerror(errno);
      return false;
    }
    temporaries_.erase(temporaries_.begin());
    files_.erase(files_.begin());
  }
  return true;
}

bool writeReport(const std::string& text, std::string& error) {
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  if (std::fflush(stdout) != 0 || !written || std::ferror(stdout)) {
    error = std::string("cannot write the report to standard output: ") + std::strerror(errno);
    return false;
  }
  return true;
}

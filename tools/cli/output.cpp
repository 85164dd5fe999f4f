#include "tools/cli/output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "tools/cli/numbers.h"

int fail(const std::string& program, const std::string& message, int status) {
  std::cerr << program << ": " << message << "\n";
  if (status == kExitUsage) std::cerr << "Run " << program << " --help for the options.\n";
  return status;
}

std::string versionLine(const std::string& program) {
  return program + " " + QUADRELLE_VERSION + "\n";
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
  if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
    const int reason = errno;
    error = "cannot write to " + quoted(folder) + ": " + std::strerror(reason);
    return false;
  }
  return true;
}

bool writeReport(const std::string& text, std::string& error) {
  errno = 0;
  int reason = 0;
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) reason = errno;
  if (std::fflush(stdout) != 0 && reason == 0) reason = errno;
  if (reason == 0 && !std::ferror(stdout)) return true;
  error = std::string("cannot write the report to standard output: ") +
          (reason != 0 ? std::strerror(reason) : "the stream failed");
  return false;
}

void endQuietlyOnClosedPipe() {
  std::signal(SIGPIPE, SIG_DFL);
}

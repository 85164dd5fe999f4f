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

bool writePictures(const std::string& folder, const std::vector<NamedPicture>& pictures,
                   std::string& error) {
  std::vector<std::string> written;
  auto removeWritten = [&] {
    for (const std::string& path : written)
      std::remove(path.c_str());
  };
  for (const auto& [name, image] : pictures) {
    const std::string partial = folder + "/." + name + ".partial";
    if (!writePngFile(*image, partial, error)) {
      removeWritten();
      return false;
    }
    written.push_back(partial);
  }
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    const std::string path = folder + "/" + pictures[i].first;
    if (std::rename(written[i].c_str(), path.c_str()) != 0) {
      error = "cannot write " + path + ": " + std::strerror(errno);
      written.erase(written.begin(), written.begin() + std::ptrdiff_t(i));
      removeWritten();
      return false;
    }
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

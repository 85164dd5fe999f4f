#include "tests/support/program_run.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "tests/support/text_file.h"

ProgramResult runProgram(const std::string& path, const std::vector<std::string>& arguments) {
  char folder[] = "/tmp/quadrelle-run-XXXXXX";
  if (mkdtemp(folder) == nullptr) throw std::runtime_error("mkdtemp failed");
  const std::string out = std::string(folder) + "/stdout";
  const std::string err = std::string(folder) + "/stderr";
  const pid_t pid = fork();
  if (pid == 0) {
    unsetenv("DISPLAY");
    // The sanitizer build: Mesa keeps allocations until exit.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
    dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
    dup2(open("/dev/null", O_RDONLY), STDIN_FILENO);
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const std::string& a : arguments)
      argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ProgramResult result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.standardOutput = readTextFile(out);
  result.standardError = readTextFile(err);
  std::remove(out.c_str());
  std::remove(err.c_str());
  rmdir(folder);
  return result;
}

std::string jsonValue(const std::string& json, const std::string& key) {
  const std::string quoted = "\"" + key + "\": ";
  const std::size_t at = json.find(quoted);
  if (at == std::string::npos) return "";
  const std::size_t start = at + quoted.size();
  return json.substr(start, json.find_first_of(",}]", start) - start);
}

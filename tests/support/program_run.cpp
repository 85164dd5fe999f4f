#include "tests/support/program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "tests/support/text_file.h"

extern char** environ;

namespace {

// This process's environment with the launch's changes; of two changes to one variable
// the later holds.
std::vector<std::string> environmentFor(const Launch& program) {
  std::vector<std::pair<std::string, std::string>> changes;
  auto change = [&](const std::string& name, const std::string& value) {
    std::erase_if(changes, [&](const auto& earlier) { return earlier.first == name; });
    changes.emplace_back(name, value);
  };
  for (const auto& [name, value] : program.environment)
    change(name, value);
  auto changedOrRemoved = [&](const std::string& name) {
    for (const std::string& removed : program.removedEnvironment) {
      if (removed == name) return true;
    }
    for (const auto& changed : changes) {
      if (changed.first == name) return true;
    }
    return false;
  };
  std::vector<std::string> environment;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string entry = *variable;
    if (!changedOrRemoved(entry.substr(0, entry.find('=')))) environment.push_back(entry);
  }
  for (const auto& [name, value] : changes)
    environment.push_back(name + "=" + value);
  return environment;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings)
    pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

void redirect(posix_spawn_file_actions_t& actions, int descriptor,
              const std::optional<std::string>& file, int flags) {
  if (!file) return;
  if (file->empty()) {
    posix_spawn_file_actions_addclose(&actions, descriptor);
  } else {
    posix_spawn_file_actions_addopen(&actions, descriptor, file->c_str(), flags, 0644);
  }
}

}  // namespace

pid_t launch(const Launch& program) {
  std::vector<std::string> arguments{program.path};
  arguments.insert(arguments.end(), program.arguments.begin(), program.arguments.end());
  std::vector<std::string> environment = environmentFor(program);
  std::vector<char*> argv = pointersTo(arguments);
  std::vector<char*> envp = pointersTo(environment);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  redirect(actions, STDIN_FILENO, program.standardInput.value_or("/dev/null"), O_RDONLY);
  redirect(actions, STDOUT_FILENO, program.standardOutput, O_WRONLY | O_CREAT | O_TRUNC);
  redirect(actions, STDERR_FILENO, program.standardError, O_WRONLY | O_CREAT | O_TRUNC);
  pid_t pid = -1;
  const int error =
      posix_spawn(&pid, program.path.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    throw std::runtime_error("cannot start " + program.path + ": " + std::strerror(error));
  }
  return pid;
}

int exitStatusOf(int waitStatus) {
  return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
}

ProgramResult runProgram(Launch program) {
  char folder[] = "/tmp/quadrelle-run-XXXXXX";
  if (mkdtemp(folder) == nullptr) throw std::runtime_error("mkdtemp failed");
  const std::string out = std::string(folder) + "/stdout";
  const std::string err = std::string(folder) + "/stderr";
  if (!program.standardOutput) program.standardOutput = out;
  if (!program.standardError) program.standardError = err;
  const pid_t pid = launch(program);
  const auto deadline = std::chrono::steady_clock::now() + program.timeout;
  int status = 0;
  bool timedOut = false;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline && !timedOut) {
      kill(pid, SIGKILL);
      timedOut = true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ProgramResult result{exitStatusOf(status), timedOut, readTextFile(out), readTextFile(err)};
  std::filesystem::remove_all(folder);
  return result;
}

ProgramResult runProgram(const std::string& path, const std::vector<std::string>& arguments) {
  Launch program;
  program.path = path;
  program.arguments = arguments;
  program.removedEnvironment = {"DISPLAY"};
  return runProgram(program);
}

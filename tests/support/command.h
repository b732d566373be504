// Running a shell command from a test and reading what it printed.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <initializer_list>
#include <string>

namespace md::test {

struct CommandRun {
  std::string output;  // what the command wrote to its standard output
  int status = -1;     // its exit status; -1 when it did not run or did not exit
};

inline CommandRun RunCommand(const std::string& command) {
  CommandRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  const int raw = pclose(pipe);
  run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

// What the command printed; a test failure unless it exited with 0.
inline std::string CheckedOutput(const std::string& command) {
  const CommandRun run = RunCommand(command);
  EXPECT_EQ(run.status, 0) << command;
  return run.output;
}

// Whether every one of the programs is on the path.
inline bool HavePrograms(std::initializer_list<const char*> programs) {
  for (const char* p : programs)
    if (RunCommand(std::string("command -v ") + p + " >/dev/null 2>&1").status != 0) return false;
  return true;
}

}  // namespace md::test

#pragma once
// Running shell commands, and the command-line programs as a user would, in a directory.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "base/File.h"

namespace wc::test {

struct CliResult {
  int status = -1;     // the exit status, -1 if the program did not exit normally
  std::string output;  // standard output and standard error together
};

// Runs a shell command; `output` is its standard output (add 2>&1 to the
// command for standard error too).
inline CliResult runShell(const std::string& command) {
  CliResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer;
  while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) result.output.append(buffer.data(), n);
  const int raw = pclose(pipe);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return result;
}

// Runs build/<program> with `arguments` (already quoted as the shell needs)
// in `directory`, after the shell command `before` (if any); no stream is a
// terminal.
inline CliResult runCli(const Path& directory, const std::string& program, const std::string& arguments,
                        const std::string& before = {}) {
  return runShell("cd '" + directory.string() + "' && " + (before.empty() ? "" : before + " && ") +
                  WAVECRATE_BINARY_DIR "/" + program + " " + arguments + " </dev/null 2>&1");
}

}  // namespace wc::test

#pragma once
// Running the batch command as a user would, through the shell.

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "output_files.h"

namespace vp::test {

struct Result {
  int status;
  std::string out;
  std::string err;
};

// Runs the command through the shell, after `prefix` (such as "env -u NAME ").
inline Result RunCli(const std::string& args, const std::string& prefix = "") {
  const std::string errFile = TempPath("cli_err");
  const std::string command = prefix + std::string(VP_CLI) + " " + args + " 2>" + errFile;
  Result r{};
  FILE* pipe = popen(command.c_str(), "r");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream err(errFile);
  r.err.assign(std::istreambuf_iterator<char>(err), {});
  std::filesystem::remove(errFile);
  return r;
}

inline std::string Example(const std::string& name) { return std::string(VP_EXAMPLES_DIR) + "/" + name; }

// free_free_shaft.txt with some of its lines (numbered from 1) replaced, as a
// temporary file that removes itself.
struct ChangedExample {
  std::string path;
  explicit ChangedExample(const std::map<int, std::string>& lines)
      : path(TempPath("cli_changed.txt")) {
    std::ifstream in(Example("free_free_shaft.txt"));
    std::ofstream out(path);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) out << (lines.count(n) ? lines.at(n) : line) << "\n";
  }
  ~ChangedExample() { std::filesystem::remove(path); }
};

}  // namespace vp::test

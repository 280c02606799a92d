// Runs the built `orba` as a user runs it, for the benchmarks that time
// whole commands.
#pragma once

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

// Runs orba with `args`, its stdout to /dev/null; false when it does not
// exit with 0 or 1 (1: validation found violations). Adds its peak memory.
inline bool RunOrba(benchmark::State& state, std::vector<std::string> args) {
  args.insert(args.begin(), {TESSARY_BUILD_BIN_DIR "/orba", "--ui", "none"});
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return false;
  state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  return WIFEXITED(status) && WEXITSTATUS(status) <= 1;
}

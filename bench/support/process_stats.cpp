#include "support/process_stats.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace bench {

RunStats RunInChild(const std::function<long long()>& work) {
  RunStats stats;
  int pipefd[2];
  if (pipe(pipefd) != 0) return stats;
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    close(pipefd[0]);
    long long bytes = work();
    ssize_t n = write(pipefd[1], &bytes, sizeof bytes);
    _exit(n == sizeof bytes && bytes >= 0 ? 0 : 1);
  }
  close(pipefd[1]);
  long long bytes = -1;
  if (read(pipefd[0], &bytes, sizeof bytes) != sizeof bytes) bytes = -1;
  close(pipefd[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  stats.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  stats.peak_kib = usage.ru_maxrss;
  stats.bytes = bytes;
  stats.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return stats;
}

}  // namespace bench

// Runs a piece of work in a child process of its own and measures its wall time and its peak
// resident memory (getrusage of the child, which starts from the parent's pages, so the figure is an
// upper bound).
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace veltrix::bench {

struct Figures {
  double seconds = 0;
  long peakKb = 0;
  int status = 0;  // the child's exit status, -1 when it did not exit normally
};

// work returns the child's exit status.
template <class F>
Figures Child(F work) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) _exit(work());
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Figures f;
  f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  f.peakKb = usage.ru_maxrss;
  f.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return f;
}

}  // namespace veltrix::bench

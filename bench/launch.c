/* launch PROGRAM: runs PROGRAM with this process's standard streams, and
   writes its wall time, peak resident memory and exit status as one line
   to descriptor 3.

   The peak that the kernel reports for a child includes the memory of the
   process it was forked from, up to its exec. The bench runner is a C++
   program that grows as it works; this launcher is small and stays so,
   and so the figure is the measured program's own. */

#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    return 2;
  }
  const double start = now();
  const pid_t pid = fork();
  if (pid < 0) {
    return 1;
  }
  if (pid == 0) {
    close(3);
    execv(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  if (wait4(pid, &status, 0, &usage) < 0) {
    return 1;
  }
  const double seconds = now() - start;
  dprintf(3, "%.9f %ld %d\n", seconds, usage.ru_maxrss,
          WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return 0;
}

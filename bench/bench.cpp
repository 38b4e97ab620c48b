// Measures the program against the floor program, run for run, on the same
// input lines, and prints the figures side by side. It asserts nothing.
//
//   bench PROGRAM FLOOR [RUNS]
//
// - instructions per run, counted by valgrind's callgrind (repeatable on a
//   busy machine);
// - wall time per run, the median over RUNS runs of each (default 300), the
//   two binaries alternating so that both see the same machine;
// - peak resident memory of a run (the median of its ru_maxrss);
// - for the program alone, the time and memory to refuse a 20 MB line
//   through a pipe and from a file, and whether the next line was left.

#include "fd_io.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum class Stdin { pipe, file };

const char* const stdin_names[] = {"pipe", "file"};

struct Line {
  const char* name;
  std::string text;
};

struct Run {
  double seconds;
  long peak_kib;
  int status;
};

void must(bool ok, const char* what) {
  if (!ok) {
    std::perror(what);
    std::exit(1);
  }
}

void must_write(int fd, const std::string& data) {
  must(write_all(fd, data), "write");
}

int temp_file(const std::string& content) {
  char name[] = "/tmp/bracket-check-bench-XXXXXX";
  const int fd = mkstemp(name);
  must(fd >= 0, "mkstemp");
  unlink(name);
  must_write(fd, content);
  return fd;
}

// Runs argv with the given standard input, output and error (and, if given,
// descriptor 3), and returns its exit status.
int spawn(const std::vector<const char*>& argv, int in, int out, int err,
          int fd3 = -1) {
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  std::transform(argv.begin(), argv.end(), std::back_inserter(args),
                 [](const char* a) { return const_cast<char*>(a); });
  args.push_back(nullptr);

  const pid_t pid = fork();
  must(pid >= 0, "fork");
  if (pid == 0) {
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    if (fd3 >= 0) {
      dup2(fd3, 3);
    }
    execv(args[0], args.data());
    _exit(127);
  }
  int wait_status = 0;
  while (waitpid(pid, &wait_status, 0) < 0) {
    must(errno == EINTR, "waitpid");
  }
  return WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
}

// Runs program through the launcher, which measures it (see launch.c).
Run measure(const char* program, int in, int out) {
  const int report = temp_file("");
  must(spawn({LAUNCH, program}, in, out, out, report) == 0, "launch");
  lseek(report, 0, SEEK_SET);
  const std::string line = read_all(report);
  close(report);
  // "seconds peak status"
  char* next = nullptr;
  Run r{};
  r.seconds = std::strtod(line.c_str(), &next);
  r.peak_kib = std::strtol(next, &next, 10);
  r.status = static_cast<int>(std::strtol(next, &next, 10));
  must(*next == '\n', "reading the launcher's report");
  return r;
}

// Standard input holding line, through a pipe or from a file at offset 0.
int make_stdin(Stdin kind, const std::string& line) {
  if (kind == Stdin::file) {
    const int fd = temp_file(line);
    lseek(fd, 0, SEEK_SET);
    return fd;
  }
  int fds[2];
  must(pipe2(fds, O_CLOEXEC) == 0, "pipe2");
  must_write(fds[1], line); // short lines fit in the pipe
  close(fds[1]);
  return fds[0];
}

// The resolved path of a program, since execv does not search PATH.
std::string which(const char* name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path == nullptr ? "/usr/bin:/bin" : path;
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    start = end + 1;
  }
  return "";
}

// Instructions of one run, as callgrind counts them.
long long instructions(const std::string& valgrind, const char* binary,
                       Stdin kind, const std::string& line) {
  const int in = make_stdin(kind, line);
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  const int err = temp_file("");
  spawn({valgrind.c_str(), "--tool=callgrind", "--callgrind-out-file=/dev/null",
         binary},
        in, null, err);
  lseek(err, 0, SEEK_SET);
  const std::string report = read_all(err);
  close(in);
  close(null);
  close(err);
  const std::size_t at = report.find("Collected : ");
  return at == std::string::npos
             ? -1
             : std::strtoll(report.c_str() + at + 12, nullptr, 10);
}

template <typename T> T median(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct Timing {
  double seconds; // median wall time of a run
  long peak_kib;  // median peak resident memory
};

// Runs the two binaries turn about, runs times each.
void time_both(const char* a, const char* b, Stdin kind,
               const std::string& line, int runs, Timing& ta, Timing& tb) {
  std::vector<double> sa;
  std::vector<double> sb;
  std::vector<long> ma;
  std::vector<long> mb;
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  // The first runs of each are not counted: they bring both binaries and
  // their libraries into the page cache.
  const int warm_up = 20;
  for (int i = -warm_up; i < runs; ++i) {
    for (int turn = 0; turn < 2; ++turn) {
      const bool first = (turn == 0) == (i % 2 == 0);
      const int in = make_stdin(kind, line);
      const Run r = measure(first ? a : b, in, null);
      close(in);
      if (i < 0) {
        continue;
      }
      (first ? sa : sb).push_back(r.seconds);
      (first ? ma : mb).push_back(r.peak_kib);
    }
  }
  close(null);
  ta = {median(sa), median(ma)};
  tb = {median(sb), median(mb)};
}

// Writes the 20 MB line, then "next\n", in blocks of 40 kB.
void write_long_input(int fd) {
  const std::string block(std::size_t{40} * 1000, '(');
  for (int i = 0; i < 500; ++i) {
    must_write(fd, block);
  }
  must_write(fd, "\nnext\n");
}

// One refusal of the 20 MB line; sets whether the next line was left.
Run refuse_once(const char* program, Stdin kind, int null, bool& kept) {
  Run r{};
  std::string left;
  if (kind == Stdin::file) {
    const int in = temp_file("");
    write_long_input(in);
    lseek(in, 0, SEEK_SET);
    r = measure(program, in, null);
    left = read_all(in); // from where the program left the shared offset
    close(in);
  } else {
    int fds[2];
    must(pipe2(fds, O_CLOEXEC) == 0, "pipe2");
    std::thread feeder([&fds] {
      write_long_input(fds[1]);
      close(fds[1]);
    });
    r = measure(program, fds[0], null);
    left = read_all(fds[0]);
    feeder.join();
    close(fds[0]);
  }
  kept = left == "next\n";
  return r;
}

void refusal(const char* program, Stdin kind) {
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  std::vector<double> seconds;
  std::vector<long> peaks;
  int status = 0;
  int kept_all = 1;
  const int runs = 9;
  for (int i = 0; i < runs; ++i) {
    bool kept = false;
    const Run r = refuse_once(program, kind, null, kept);
    seconds.push_back(r.seconds);
    peaks.push_back(r.peak_kib);
    status = r.status;
    kept_all &= static_cast<int>(kept);
  }
  close(null);
  std::printf("  %-4s  %8.3f s  %6ld KiB  exit status %d, next line %s\n",
              stdin_names[static_cast<int>(kind)], median(seconds),
              median(peaks), status,
              kept_all != 0 ? "left for the next reader" : "LOST");
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s PROGRAM FLOOR [RUNS]\n", argv[0]);
    return 2;
  }
  const char* program = argv[1];
  const char* floor = argv[2];
  const int runs =
      argc > 3 ? static_cast<int>(std::strtol(argv[3], nullptr, 10)) : 300;
  const std::string valgrind = which("valgrind");

  const Line lines[] = {
      {"balanced", "(a+b)*[c-d]\n"},
      {"mismatch", "([)]\n"},
      {"43 chars", std::string(31, '(') + "a+b*c-d/e+f1\n"}, // overflows
  };
  const Stdin kinds[] = {Stdin::pipe, Stdin::file};

  std::printf("program %s\nfloor   %s\n\n", program, floor);
  std::printf("instructions per run (callgrind)\n");
  std::printf("  %-9s %-5s %10s %10s %7s\n", "line", "stdin", "program",
              "floor", "ratio");
  for (const Line& l : lines) {
    for (const Stdin k : kinds) {
      const long long p = instructions(valgrind, program, k, l.text);
      const long long f = instructions(valgrind, floor, k, l.text);
      std::printf("  %-9s %-5s %10lld %10lld %7.3f\n", l.name,
                  stdin_names[static_cast<int>(k)], p, f,
                  static_cast<double>(p) / static_cast<double>(f));
    }
  }

  std::printf("\nwall time per run (median of %d, turn about) and peak "
              "memory (median)\n",
              runs);
  std::printf("  %-9s %-5s %9s %9s %7s %9s %9s %7s\n", "line", "stdin",
              "program", "floor", "ratio", "program", "floor", "ratio");
  for (const Line& l : lines) {
    for (const Stdin k : kinds) {
      Timing p{};
      Timing f{};
      time_both(program, floor, k, l.text, runs, p, f);
      std::printf(
          "  %-9s %-5s %7.0fus %7.0fus %7.3f %6ldKiB %6ldKiB %7.3f\n", l.name,
          stdin_names[static_cast<int>(k)], p.seconds * 1e6, f.seconds * 1e6,
          p.seconds / f.seconds, p.peak_kib, f.peak_kib,
          static_cast<double>(p.peak_kib) / static_cast<double>(f.peak_kib));
    }
  }

  std::printf("\nrefusing a 20 MB line (program only, median of 9)\n");
  refusal(program, Stdin::pipe);
  refusal(program, Stdin::file);
  return 0;
}

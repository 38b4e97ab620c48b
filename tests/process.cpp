#include "process.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

const char* program_path() { return BRACKET_CHECK_PROGRAM; }

namespace {

int temp_file() {
  char name[] = "/tmp/bracket-check-test-XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) {
    std::perror("mkstemp");
    std::abort();
  }
  unlink(name);
  return fd;
}

std::string rewind_and_read(int fd) {
  lseek(fd, 0, SEEK_SET);
  return read_all(fd);
}

int decode(int wait_status) {
  if (WIFEXITED(wait_status)) {
    return WEXITSTATUS(wait_status);
  }
  return 128 + WTERMSIG(wait_status);
}

} // namespace

int wait_for(int pid) {
  int wait_status = 0;
  while (waitpid(pid, &wait_status, 0) < 0 && errno == EINTR) {
  }
  return decode(wait_status);
}

Outcome in_child(const std::function<int()>& body) {
  const int out = temp_file();
  const int err = temp_file();
  std::fflush(nullptr); // nothing buffered here may be written twice
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    const int status = body();
    std::fflush(stdout);
    _exit(status);
  }
  Outcome result{{}, {}, wait_for(pid)};
  result.out = rewind_and_read(out);
  result.err = rewind_and_read(err);
  close(out);
  close(err);
  return result;
}

Outcome run_program(const Run& run, std::string* left) {
  const int out = temp_file();
  const int err = temp_file();

  // The program's standard input, and for pipes and sockets the end that
  // this process feeds.
  int in = -1;
  int feed = -1;
  switch (run.in) {
  case In::pipe: {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
      std::abort();
    }
    in = fds[0];
    feed = fds[1];
    break;
  }
  case In::socket: {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
      std::abort();
    }
    in = fds[0];
    feed = fds[1];
    break;
  }
  case In::file:
    in = temp_file();
    write_all(in, run.input);
    lseek(in, 0, SEEK_SET);
    break;
  case In::directory:
    in = open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    break;
  case In::closed:
    break;
  }

  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (in >= 0) {
      dup2(in, STDIN_FILENO);
    } else {
      close(STDIN_FILENO);
    }
    switch (run.out) {
    case Out::captured:
      dup2(out, STDOUT_FILENO);
      break;
    case Out::full: {
      const int full = open("/dev/full", O_WRONLY);
      dup2(full, STDOUT_FILENO);
      break;
    }
    case Out::closed:
      close(STDOUT_FILENO);
      break;
    }
    dup2(err, STDERR_FILENO);
    execl(program_path(), program_path(), static_cast<char*>(nullptr));
    _exit(127);
  }

  // The input may be larger than a pipe holds: feed it while the program
  // runs. The feeder closes its end when done, which is the end of input.
  std::thread feeder;
  if (feed >= 0) {
    feeder = std::thread([&run, feed, kind = run.in] {
      write_all(feed, run.input);
      if (kind == In::socket) {
        shutdown(feed, SHUT_WR);
      } else {
        close(feed);
      }
    });
  }

  const int status = wait_for(pid);
  std::string rest;
  if (in >= 0 && run.in != In::directory) {
    rest = read_all(in); // lets a blocked feeder finish as well
  }
  if (feeder.joinable()) {
    feeder.join();
  }
  if (run.in == In::socket) {
    close(feed);
  }
  if (in >= 0) {
    close(in);
  }
  if (left != nullptr) {
    *left = rest;
  }

  Outcome result{rewind_and_read(out), rewind_and_read(err), status};
  close(out);
  close(err);
  return result;
}

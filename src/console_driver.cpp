// The dialogue: prompt, read exactly one line, check it, write the verdict.
//
// The program reads nothing past the line end of its own line, so that
// whoever reads the same input next (the shell, or the next run in a loop
// over a file) gets the rest. How that is done depends on what standard
// input is: a seekable file is read in blocks and the offset put back just
// past the line end; a pipe is peeked at with tee(2) on Linux; anything else
// is read a byte at a time.

#include "bracket_checker.hpp"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

constexpr std::size_t max_length = 43; // longest expression taken, in bytes

enum class Mode { seek, peek, byte };

struct Input {
  Mode mode;
  int peek_read; // private pipe that tee(2) copies into (Mode::peek)
  int peek_write;
};

enum class Outcome { line, no_input, too_long, failed };

ssize_t read_some(int fd, char* dst, std::size_t size) {
  ssize_t n = 0;
  do {
    n = read(fd, dst, size);
  } while (n < 0 && errno == EINTR);
  return n;
}

// Reads until size bytes are in or input ends; returns the count or -1.
ssize_t read_full(int fd, char* dst, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = read_some(fd, dst + done, size - done);
    if (n < 0) {
      return -1;
    }
    if (n == 0) {
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(done);
}

// Bytes up to and including the first line end among dst[0, n), or n.
// A plain loop: binding memchr at run time would cost more than it saves.
ssize_t through_line_end(const char* dst, ssize_t n) {
  for (ssize_t i = 0; i < n; ++i) {
    if (dst[i] == '\n') {
      return i + 1;
    }
  }
  return n;
}

Input open_input() {
  if (lseek(STDIN_FILENO, 0, SEEK_CUR) >= 0) {
    return {Mode::seek, -1, -1};
  }
#ifdef __linux__
  // Open but not seekable, so perhaps a pipe: take_peek finds out from
  // tee(2), and falls back to a byte at a time if not. (When standard input
  // is closed, the private pipe would take its place.)
  int fds[2];
  if (errno == ESPIPE && pipe2(fds, O_CLOEXEC) == 0) {
    return {Mode::peek, fds[0], fds[1]};
  }
#endif
  return {Mode::byte, -1, -1};
}

// Each take_* consumes up to size bytes of standard input into dst, but
// never a byte past a line end: when one is taken, it is the last byte.
// Each returns the count taken, 0 at end of input, -1 on failure (errno
// tells why).

ssize_t take_byte(char* dst) { return read_some(STDIN_FILENO, dst, 1); }

ssize_t take_seek(char* dst, std::size_t size) {
  const ssize_t n = read_some(STDIN_FILENO, dst, size);
  if (n <= 0) {
    return n;
  }
  const ssize_t kept = through_line_end(dst, n);
  if (kept < n && lseek(STDIN_FILENO, kept - n, SEEK_CUR) < 0) {
    return -1;
  }
  return kept;
}

ssize_t take_peek(Input& in, char* dst, std::size_t size) {
#ifdef __linux__
  // tee copies what the pipe holds without consuming it; the copy shows
  // where the line ends, and only that much is then read for real.
  const ssize_t n = tee(STDIN_FILENO, in.peek_write, size, 0);
  if (n < 0 && errno == EINVAL) {
    in.mode = Mode::byte;
    return take_byte(dst);
  }
  if (n <= 0) {
    return n;
  }
  if (read_full(in.peek_read, dst, static_cast<std::size_t>(n)) != n) {
    return -1;
  }
  const ssize_t kept = through_line_end(dst, n);
  return read_full(STDIN_FILENO, dst, static_cast<std::size_t>(kept));
#else
  (void)in;
  (void)size;
  return take_byte(dst);
#endif
}

ssize_t take(Input& in, char* dst, std::size_t size) {
  switch (in.mode) {
  case Mode::seek:
    return take_seek(dst, size);
  case Mode::peek:
    return take_peek(in, dst, size);
  case Mode::byte:
    break;
  }
  return take_byte(dst);
}

// Reads and drops the rest of an overlong line, through its line end.
Outcome skip_rest(Input& in) {
  char scrap[4096];
  for (;;) {
    const ssize_t n = take(in, scrap, sizeof scrap);
    if (n < 0) {
      return Outcome::failed;
    }
    if (n == 0 || scrap[n - 1] == '\n') {
      return Outcome::too_long;
    }
  }
}

// Reads one line, without its line end, into line as a zero-terminated
// string. A line that does not fit is refused whole rather than cut short:
// a cut line could pass as valid when its unread tail is not.
Outcome read_line(char (&line)[max_length + 1]) {
  Input in = open_input();
  std::size_t length = 0;
  for (;;) {
    // Room for one byte more than the longest expression: it is either the
    // line end or the proof that the line is too long.
    const ssize_t n = take(in, line + length, sizeof line - length);
    if (n < 0) {
      return Outcome::failed;
    }
    if (n == 0) {
      break;
    }
    length += static_cast<std::size_t>(n);
    if (line[length - 1] == '\n') {
      line[length - 1] = '\0';
      return Outcome::line;
    }
    if (length == sizeof line) {
      return skip_rest(in);
    }
  }
  if (length == 0) {
    return Outcome::no_input;
  }
  line[length] = '\0'; // the last line of the input, without a line end
  return Outcome::line;
}

} // namespace

int main() {
  std::fputs("Enter an algebraic expression : ", stdout);
  // The line is read below stdio, which therefore flushes nothing before
  // the wait; and whoever drives this program through a pipe waits for the
  // prompt before sending the line.
  std::fflush(stdout);

  char line[max_length + 1];
  int status = 2; // no check was made
  switch (read_line(line)) {
  case Outcome::line:
    std::puts(check(line) == 1 ? "Valid expression" : "Invalid expression");
    status = 0;
    break;
  case Outcome::no_input:
    std::puts("No expression entered");
    break;
  case Outcome::too_long:
    std::puts("Expression too long: the limit is 43 characters");
    break;
  case Outcome::failed:
    std::printf("Cannot read the expression: %s\n", std::strerror(errno));
    break;
  }

  // A verdict that never reached its reader is no success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    return 2;
  }
  return status;
}

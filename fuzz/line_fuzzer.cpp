// The whole run of main, its line reading above all, on arbitrary standard
// input through a file, a pipe or a socket (the first byte of the fuzz
// input picks which; the rest is standard input). What it writes, its exit
// status, and what it leaves unread must all be the reference model's.
//
// console_driver.cpp is built into this fuzzer unchanged, with main renamed
// to bracket_check_main.

#include "bracket_stack.hpp"
#include "capture.hpp"
#include "fd_io.hpp"
#include "model.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

int bracket_check_main();

namespace {

enum class Kind { file, pipe, socket };

void must(bool ok, const char* what) {
  if (!ok) {
    std::perror(what);
    std::exit(1);
  }
}

// Makes standard input hold exactly the given bytes, then end.
void set_stdin(Kind kind, const std::string& input) {
  int fds[2];
  switch (kind) {
  case Kind::file:
    fds[0] = memfd_create("stdin", 0);
    must(fds[0] >= 0, "memfd_create");
    must(write_all(fds[0], input), "writing standard input");
    must(lseek(fds[0], 0, SEEK_SET) == 0, "lseek");
    break;
  case Kind::pipe:
    must(pipe(fds) == 0, "pipe");
    // It fits: inputs are far below a pipe's size.
    must(write_all(fds[1], input), "writing standard input");
    close(fds[1]);
    break;
  case Kind::socket:
    must(socketpair(AF_UNIX, SOCK_STREAM, 0, fds) == 0, "socketpair");
    must(write_all(fds[1], input), "writing standard input");
    close(fds[1]);
    break;
  }
  must(dup2(fds[0], STDIN_FILENO) == STDIN_FILENO, "dup2");
  close(fds[0]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0 || size > 16384) {
    return 0;
  }
  const auto kind = static_cast<Kind>(data[0] % 3);
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);

  while (top != -1) {
    pop();
  }
  set_stdin(kind, input);

  // A run of the program opens descriptors that its exit would close; here
  // they are closed after it, from the lowest that was free before it.
  const int first_free = dup(STDIN_FILENO);
  close(first_free);
  const int status = bracket_check_main();
  close_range(static_cast<unsigned>(first_free), ~0U, 0);

  const std::string out = take_output();
  const std::string left = read_all(STDIN_FILENO);

  const RunModel want = model_run(input);
  if (out != want.out || status != want.status ||
      left != input.substr(want.consumed)) {
    fail("agrees with the model",
         std::string(reinterpret_cast<const char*>(data), size),
         "wrote:\n" + out + "\nstatus " + std::to_string(status) + ", left " +
             std::to_string(left.size()) + " bytes\nmodel:\n" + want.out +
             "\nstatus " + std::to_string(want.status) + ", left " +
             std::to_string(input.size() - want.consumed) + " bytes");
  }
  return 0;
}

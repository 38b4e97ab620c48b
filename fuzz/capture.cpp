#include "capture.hpp"

#include "fd_io.hpp"

#include <cstdio>
#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

namespace {
int output = -1;
}

// libFuzzer calls this once, before the first input, in every fuzzer that
// links this file.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  capture_stdout();
  return 0;
}

void capture_stdout() {
  output = memfd_create("stdout", MFD_CLOEXEC);
  if (output < 0 || dup2(output, STDOUT_FILENO) < 0) {
    std::perror("capturing standard output");
    std::exit(1);
  }
}

std::string take_output() {
  std::fflush(stdout);
  lseek(output, 0, SEEK_SET);
  std::string all = read_all(output);
  if (ftruncate(output, 0) != 0 || lseek(output, 0, SEEK_SET) != 0) {
    std::perror("emptying captured output");
    std::exit(1);
  }
  return all;
}

void fail(const char* what, const std::string& input,
          const std::string& detail) {
  std::fprintf(stderr, "broken: %s\ninput of %zu bytes:", what, input.size());
  for (const char c : input) {
    std::fprintf(stderr, " %02x", static_cast<unsigned char>(c));
  }
  std::fprintf(stderr, "\n%s\n", detail.c_str());
  std::abort();
}

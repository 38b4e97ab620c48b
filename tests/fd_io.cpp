#include "fd_io.hpp"

#include <cerrno>

#include <unistd.h>

bool write_all(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string read_all(int fd) {
  std::string all;
  char block[65536];
  for (;;) {
    const ssize_t n = read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return all;
    }
    all.append(block, static_cast<std::size_t>(n));
  }
}

#pragma once

// Whole reads and writes on a file descriptor, for the tests, the fuzzers
// and the benchmark.

#include <string>

// Writes all of data to fd; false on failure.
bool write_all(int fd, const std::string& data);

// Reads fd to its end.
std::string read_all(int fd);

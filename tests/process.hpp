#pragma once

// Helpers that run code in a process of its own. The bracket stack is
// process-wide and never reset, so every case that touches it gets a fresh
// process: a forked child, or the real program.

#include "fd_io.hpp"

#include <functional>
#include <string>

struct Outcome {
  std::string out; // all bytes written to standard output
  std::string err; // all bytes written to standard error
  int status;      // exit status, or 128 + signal number if killed by one
};

// Runs body in a forked child with standard output and standard error
// captured; body's result becomes the child's exit status.
Outcome in_child(const std::function<int()>& body);

// What the program under test gets as standard input: the bytes come
// through a pipe, a regular file or a socket; or standard input is closed,
// or is a directory.
enum class In { pipe, file, socket, closed, directory };
// Where its standard output goes: captured, the always-full /dev/full, or
// nowhere (closed).
enum class Out { captured, full, closed };

struct Run {
  std::string input;
  In in = In::pipe;
  Out out = Out::captured;
};

// Runs the real program once. When left is given, it receives the input
// that the program did not consume (for In::pipe, In::file, In::socket).
Outcome run_program(const Run& run, std::string* left = nullptr);

// The path of the program under test.
const char* program_path();

// Waits for the child pid to end; its exit status, or 128 + signal number.
int wait_for(int pid);

#pragma once

// A reference model of the program, written apart from it and differently:
// brackets are matched on an unbounded std::vector through a pairing table,
// and the stack's 30 entries and the line's 43 characters are separate rules
// laid over that. Its answers are whole strings, so that they can be
// compared byte for byte with what the program wrote.

#include <cstddef>
#include <string>
#include <string_view>

struct CheckModel {
  std::string out; // the "Stack Overflow" lines, then the diagnostic line
  int result;      // what check returns: 1 balanced, 0 not
};

// What check writes and returns for an expression: the bytes before its
// first zero byte, or all of them.
CheckModel model_check(std::string_view expression);

struct RunModel {
  std::string out;      // everything on standard output, prompt included
  int status;           // exit status
  std::size_t consumed; // input bytes read: the line and its line end
};

// One run of the program on the given standard input, when every read
// succeeds.
RunModel model_run(std::string_view input);

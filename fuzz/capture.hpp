#pragma once

// Standard output of the fuzzed code goes to an in-memory file, so that
// each input's output can be taken and checked.

#include <string>

// Points standard output at the in-memory file. Called once, before the
// first input, by the LLVMFuzzerInitialize that capture.cpp defines for
// every fuzzer.
void capture_stdout();

// What was written to standard output since the last call.
std::string take_output();

// Reports a broken invariant with the input that broke it, then aborts, so
// that libFuzzer keeps the input.
[[noreturn]] void fail(const char* what, const std::string& input,
                       const std::string& detail);

#include "bracket_stack.hpp"

#include <cstdio>
#include <cstdlib>

// constinit: both start out by static initialisation, with no code run
// before main.
constinit std::int32_t stack[stack_capacity] = {};
constinit std::int32_t top = -1;

void push(char c) {
  if (top == stack_capacity - 1) {
    std::fputs("Stack Overflow\n", stdout);
    return;
  }
  ++top;
  // Widen the byte as a signed 8-bit value whatever char's signedness is
  // here, so a byte above 127 is held as a negative number on every platform.
  // NOLINTNEXTLINE(*-signed-char-misuse,*-str34-c): that widening is meant
  stack[top] = static_cast<std::int8_t>(c);
}

std::int32_t pop() {
  if (top == -1) {
    std::fputs("Stack Underflow\n", stdout);
    std::exit(1); // flushes standard output first
  }
  const std::int32_t entry = stack[top];
  --top;
  return entry;
}

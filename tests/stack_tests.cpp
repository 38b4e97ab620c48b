// The bracket stack, each case in a fresh process of its own.

#include "bracket_stack.hpp"
#include "process.hpp"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Pushes the 30 bytes '0' to 'M' (48 to 77), filling the stack.
void fill() {
  for (char c = '0'; c < '0' + stack_capacity; ++c) {
    push(c);
  }
}

struct Case {
  const char* name;
  int (*body)();
  const char* out;
  int status;
};

const Case cases[] = {
    {"pop on a fresh stack underflows and ends the process",
     [] {
       std::printf("top %d\n", top);
       pop();
       std::puts("pop returned");
       return 0;
     },
     "top -1\nStack Underflow\n", 1},
    {"push then pop gives the code back and empties the stack",
     [] {
       push('(');
       std::printf("%d\n", pop());
       std::printf("top %d\n", top);
       return 0;
     },
     "40\ntop -1\n", 0},
    {"last in, first out",
     [] {
       push('[');
       push('{');
       push('(');
       for (int i = 0; i < 3; ++i) {
         std::printf("%d\n", pop());
       }
       return 0;
     },
     "40\n123\n91\n", 0},
    {"thirty pushes fit silently",
     [] {
       fill();
       std::printf("top %d\n", top);
       return 0;
     },
     "top 29\n", 0},
    {"the 31st push is refused and stores nothing",
     [] {
       fill();
       push('z');
       std::printf("top %d\n", top);
       std::printf("%d\n", pop()); // the 30th byte pushed, 'M'
       return 0;
     },
     "Stack Overflow\ntop 29\n77\n", 0},
    {"every refused push says so once",
     [] {
       fill();
       push('a');
       push('b');
       push('c');
       std::printf("top %d\n", top);
       return 0;
     },
     "Stack Overflow\nStack Overflow\nStack Overflow\ntop 29\n", 0},
    {"after a pop from the full stack a push stores in entry 29",
     [] {
       fill();
       pop();
       push('z');
       std::printf("top %d entry %d\n", top, stack[29]);
       std::printf("%d\n", pop());
       return 0;
     },
     "top 29 entry 122\n122\n", 0},
    {"emptying the full stack returns all thirty, newest first",
     [] {
       fill();
       for (int i = 0; i < stack_capacity; ++i) {
         std::printf("%c", static_cast<char>(pop()));
       }
       std::printf("\ntop %d\n", top);
       pop();
       return 0;
     },
     "MLKJIHGFEDCBA@?>=<;:9876543210\ntop -1\nStack Underflow\n", 1},
    {"bytes above 127 come back negative and narrow to the byte pushed",
     [] {
       const unsigned char bytes[] = {0x80, 0xE9, 0xFF, 0x7F};
       for (const unsigned char b : bytes) {
         push(static_cast<char>(b));
         const auto entry = pop();
         std::printf("%d %d\n", entry,
                     static_cast<unsigned char>(entry) == b ? 1 : 0);
       }
       return 0;
     },
     "-128 1\n-23 1\n-1 1\n127 1\n", 0},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Stack : public testing::TestWithParam<Case> {};

TEST_P(Stack, Behaves) {
  const Case& c = GetParam();
  const Outcome o = in_child(c.body);
  EXPECT_EQ(o.out, c.out);
  EXPECT_EQ(o.status, c.status);
  EXPECT_EQ(o.err, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, Stack, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<Case>& info) {
                           return "case" + std::to_string(info.index);
                         });

} // namespace

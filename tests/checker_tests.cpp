// match, and check with its diagnostic lines, each check in a fresh process.

#include "bracket_checker.hpp"
#include "bracket_stack.hpp"
#include "process.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

TEST(Match, PairsExactlyTheThreeKinds) {
  const std::string chars = "([{)]}<>a \x80";
  for (const char a : chars) {
    for (const char b : chars) {
      const bool pair = (a == '(' && b == ')') || (a == '[' && b == ']') ||
                        (a == '{' && b == '}');
      EXPECT_EQ(match(a, b), pair ? 1 : 0) << "'" << a << "' '" << b << "'";
    }
  }
}

std::string repeat(char c, std::size_t n) { return std::string(n, c); }

struct Case {
  std::string expression; // may hold zero bytes: check sees up to the first
  std::string out;        // the lines check writes (and the stack's)
  int result;
  int top; // what is left on the stack afterwards
};

// Runs check in a child and reports what it wrote, its result and top.
Outcome run_check(const std::string& expression) {
  return in_child([&expression] {
    const int result = check(expression.c_str());
    std::printf("result %d top %d\n", result, top);
    return 0;
  });
}

const std::string right = "Right parentheses are more than left parentheses\n";
const std::string left = "Left parentheses more than right parentheses\n";
const std::string balanced = "Balanced Parentheses\n";
const std::string overflow = "Stack Overflow\n";

const Case cases[] = {
    {"", balanced, 1, -1},
    {"a+b", balanced, 1, -1},
    {"{[()]}", balanced, 1, -1},
    {"(a+b)*[c-d]", balanced, 1, -1},
    {"(a+b]", "Mismatched parentheses are : ( and ]\n", 0, -1},
    {"([)]", "Mismatched parentheses are : [ and )\n", 0, 0},
    {"{)", "Mismatched parentheses are : { and )\n", 0, -1},
    {"[}", "Mismatched parentheses are : [ and }\n", 0, -1},
    {"(]) ", "Mismatched parentheses are : ( and ]\n", 0, -1},
    {")(", right, 0, -1},
    {"()]", right, 0, -1},
    {"((a)", left, 0, 0},
    {"[[{", left, 0, 2},
    {std::string("x\0)", 3), balanced, 1, -1},
    {std::string("(\0)", 3), left, 0, 0},
    {"\x80(\xff)\r\x7f", balanced, 1, -1},
    {"<a>", balanced, 1, -1},
    // The deepest nesting the stack holds.
    {repeat('(', 30) + repeat(')', 30), balanced, 1, -1},
    {repeat('(', 31), overflow + left, 0, 29},
    // A refused opener must not let the closers pass the line as balanced.
    {repeat('(', 31) + repeat(')', 30), overflow + left, 0, -1},
    {repeat('(', 30) + "[" + repeat(')', 30), overflow + left, 0, -1},
    {repeat('(', 32) + repeat(')', 30), overflow + overflow + left, 0, -1},
    {repeat('(', 31) + repeat(')', 29), overflow + left, 0, 0},
    {repeat('(', 31) + repeat(')', 31), overflow + right, 0, -1},
    {repeat('(', 31) + repeat(')', 29) + "]",
     overflow + "Mismatched parentheses are : ( and ]\n", 0, -1},
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << testing::PrintToString(c.expression);
}

class Check : public testing::TestWithParam<Case> {};

TEST_P(Check, WritesOneDiagnosticLine) {
  const Case& c = GetParam();
  const Outcome o = run_check(c.expression);
  EXPECT_EQ(o.out, c.out + "result " + std::to_string(c.result) + " top " +
                       std::to_string(c.top) + "\n");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, Check, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<Case>& info) {
                           return "case" + std::to_string(info.index);
                         });

} // namespace

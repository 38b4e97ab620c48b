// The real program, end to end: bytes in, exact bytes out, exit status, and
// nothing on standard error.

#include "process.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

const std::string prompt = "Enter an algebraic expression : ";
const std::string valid = "Valid expression\n";
const std::string invalid = "Invalid expression\n";
const std::string balanced = "Balanced Parentheses\n";
const std::string more_left = "Left parentheses more than right parentheses\n";
const std::string more_right =
    "Right parentheses are more than left parentheses\n";
const std::string too_long =
    "Expression too long: the limit is 43 characters\n";

std::string repeat(char c, std::size_t n) { return std::string(n, c); }

struct Case {
  const char* name;
  Run run;
  std::string out; // what follows the prompt
  int status;
};

const Case cases[] = {
    {"EmptyLine", {"\n"}, balanced + valid, 0},
    {"NoBrackets", {"a+b\n"}, balanced + valid, 0},
    {"Balanced", {"(a+b)*[c-d]\n"}, balanced + valid, 0},
    {"Nested", {"{[()]}\n"}, balanced + valid, 0},
    {"Mismatch",
     {"(a+b]\n"},
     "Mismatched parentheses are : ( and ]\n" + invalid,
     0},
    {"BadNesting",
     {"([)]\n"},
     "Mismatched parentheses are : [ and )\n" + invalid,
     0},
    {"MoreRight", {")(\n"}, more_right + invalid, 0},
    {"MoreLeft", {"((a)\n"}, more_left + invalid, 0},
    {"ZeroByteEndsTheExpression",
     {std::string("x\0)\n", 4)},
     balanced + valid,
     0},
    {"ZeroByteFirst", {std::string("\0)\n", 3)}, balanced + valid, 0},
    {"CarriageReturnIgnored", {"(a)\r\n"}, balanced + valid, 0},
    {"HighBytesIgnored", {"\xc3\xa9(\xff)\n"}, balanced + valid, 0},
    {"LastLineWithoutLineEnd", {"[a]"}, balanced + valid, 0},
    {"LastLineWithoutLineEndUnbalanced", {"[a"}, more_left + invalid, 0},
    {"OnlyTheFirstLineIsChecked", {"()\n)\n"}, balanced + valid, 0},
    {"StackOverflow",
     {repeat('(', 31) + "\n"},
     "Stack Overflow\n" + more_left + invalid,
     0},
    {"DeepestNesting",
     {repeat('(', 21) + repeat(')', 21) + "\n"},
     balanced + valid,
     0},
    // 43 characters are taken whole: the closer in the last place is seen.
    {"43Characters", {repeat('x', 42) + "]\n"}, more_right + invalid, 0},
    {"43CharactersValid", {"(" + repeat('x', 41) + ")\n"}, balanced + valid, 0},
    {"43CharactersAtEndOfInput",
     {repeat('x', 42) + "]"},
     more_right + invalid,
     0},
    {"44Characters", {repeat('(', 44) + "\n"}, too_long, 2},
    {"44CharactersAtEndOfInput", {"(" + repeat('x', 42) + ")"}, too_long, 2},
    {"44CharactersFromAFile", {repeat('x', 44) + "\n", In::file}, too_long, 2},
    {"44CharactersFromASocket",
     {repeat('x', 44) + "\n", In::socket},
     too_long,
     2},
    {"MillionBytes", {repeat('(', 1000000) + "\n()\n"}, too_long, 2},
    {"NoInput", {""}, "No expression entered\n", 2},
    {"NoInputFromAFile", {"", In::file}, "No expression entered\n", 2},
    {"NoInputFromASocket", {"", In::socket}, "No expression entered\n", 2},
    {"FromAFile",
     {"(a]\n", In::file},
     "Mismatched parentheses are : ( and ]\n" + invalid,
     0},
    {"FromASocket",
     {"(a]\n", In::socket},
     "Mismatched parentheses are : ( and ]\n" + invalid,
     0},
    {"StdinClosed",
     {"", In::closed},
     "Cannot read the expression: Bad file descriptor\n",
     2},
    {"StdinADirectory",
     {"", In::directory},
     "Cannot read the expression: Is a directory\n",
     2},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Program : public testing::TestWithParam<Case> {};

TEST_P(Program, WritesExactly) {
  const Case& c = GetParam();
  const Outcome o = run_program(c.run);
  EXPECT_EQ(o.out, prompt + c.out);
  EXPECT_EQ(o.status, c.status);
  EXPECT_EQ(o.err, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, Program, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

// A failed write is not success, whatever the check found.
TEST(Program, FailedWriteIsAFailure) {
  for (const Out out : {Out::full, Out::closed}) {
    const std::string inputs[] = {"()\n", "(]\n", "", repeat('x', 50)};
    for (const std::string& input : inputs) {
      const Outcome o = run_program({input, In::pipe, out});
      EXPECT_EQ(o.status, 2) << "input '" << input << "'";
      EXPECT_EQ(o.err, "");
    }
  }
}

// Exactly one line is consumed, whatever standard input is; the rest is
// left for the next reader.
TEST(Program, ConsumesOneLine) {
  struct Rest {
    std::string input;
    std::string left;
  };
  const Rest rests[] = {
      {"(a)\n[b\nrest\n", "[b\nrest\n"},
      {"\nnext\n", "next\n"},
      {"last", ""},
      {repeat('x', 44) + "\nnext\n", "next\n"},
      {repeat('(', 100000) + "\n(next)\n", "(next)\n"},
  };
  for (const In in : {In::pipe, In::file, In::socket}) {
    for (const Rest& r : rests) {
      std::string left;
      run_program({r.input, in}, &left);
      EXPECT_EQ(left, r.left) << "input kind " << static_cast<int>(in)
                              << ", input of " << r.input.size() << " bytes";
    }
  }
}

TEST(Program, MillionByteLineLeavesTheNextLine) {
  std::string left;
  const Outcome o =
      run_program({repeat('x', 1000000) + "\n(next)\n", In::pipe}, &left);
  EXPECT_EQ(o.out, prompt + too_long);
  EXPECT_EQ(left, "(next)\n");
}

// The shell loop from the README checks every line of its input, one run
// each, and stops at the end of input.
TEST(Program, BatchLoop) {
  char name[] = "/tmp/bracket-check-batch-XXXXXX";
  const int fd = mkstemp(name);
  ASSERT_GE(fd, 0);
  write_all(fd, "(a)\n[)\n");
  close(fd);
  const std::string expected = prompt + balanced + valid + prompt +
                               "Mismatched parentheses are : [ and )\n" +
                               invalid + prompt + "No expression entered\n";
  for (const char* loop :
       {"while \"$0\"; do :; done < \"$1\"; echo \"status $?\"",
        "cat \"$1\" | while \"$0\"; do :; done; echo \"status $?\""}) {
    const Outcome o = in_child([&] {
      execl("/bin/sh", "sh", "-c", loop, program_path(), name,
            static_cast<char*>(nullptr));
      return 127;
    });
    EXPECT_EQ(o.out, expected + "status 0\n") << loop;
    EXPECT_EQ(o.err, "");
  }
  unlink(name);
}

// Reads from fd until the bytes read end with want, or ten seconds pass.
std::string read_until(int fd, const std::string& want) {
  std::string got;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (got.size() < want.size() ||
         got.compare(got.size() - want.size(), want.size(), want) != 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p{fd, POLLIN, 0};
    if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
      break;
    }
    char block[256];
    const ssize_t n = read(fd, block, sizeof block);
    if (n <= 0) {
      break;
    }
    got.append(block, static_cast<std::size_t>(n));
  }
  return got;
}

// A program driving this one through pipes gets the prompt before it sends
// the line, although standard output is then fully buffered.
TEST(Program, PromptComesBeforeTheRead) {
  int to[2];
  int from[2];
  ASSERT_EQ(pipe2(to, O_CLOEXEC), 0);
  ASSERT_EQ(pipe2(from, O_CLOEXEC), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(to[0], STDIN_FILENO);
    dup2(from[1], STDOUT_FILENO);
    execl(program_path(), program_path(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(to[0]);
  close(from[1]);
  EXPECT_EQ(read_until(from[0], prompt), prompt);
  write_all(to[1], "([)]\n");
  close(to[1]);
  EXPECT_EQ(read_all(from[0]),
            "Mismatched parentheses are : [ and )\n" + invalid);
  close(from[0]);
  EXPECT_EQ(wait_for(pid), 0);
}

// At a terminal: the prompt, the line as the terminal echoes it, then the
// diagnostic and the verdict (the terminal turns each line end into CR LF).
TEST(Program, TerminalDialogue) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string slave_name = ptsname(master);
  int err[2];
  ASSERT_EQ(pipe2(err, O_CLOEXEC), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    setsid();
    const int slave = open(slave_name.c_str(), O_RDWR);
    dup2(slave, STDIN_FILENO);
    dup2(slave, STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    close(master);
    execl(program_path(), program_path(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(err[1]);
  EXPECT_EQ(read_until(master, prompt), prompt);
  write_all(master, "(a+b]\n");
  const std::string rest = "(a+b]\r\nMismatched parentheses are : ( and ]\r\n"
                           "Invalid expression\r\n";
  EXPECT_EQ(read_until(master, rest), rest);
  EXPECT_EQ(wait_for(pid), 0);
  EXPECT_EQ(read_all(err[0]), "");
  close(err[0]);
  close(master);
}

} // namespace

#include "bracket_checker.hpp"

#include "bracket_stack.hpp"

#include <cstdio>

std::int32_t match(char opener, char closer) {
  if (opener == '[' && closer == ']') {
    return 1;
  }
  if (opener == '{' && closer == '}') {
    return 1;
  }
  if (opener == '(' && closer == ')') {
    return 1;
  }
  return 0;
}

std::int32_t check(const char* expression) {
  // push drops an opener silently when the stack is full. Remember that it
  // did: the closers could then empty the stack although more openers than
  // closers were read, and that must not pass as balanced.
  bool dropped = false;

  for (const char* p = expression; *p != '\0'; ++p) {
    const char c = *p;
    switch (c) {
    case '(':
    case '{':
    case '[':
      if (top == stack_capacity - 1) {
        dropped = true;
      }
      push(c);
      break;
    case ')':
    case '}':
    case ']': {
      if (top == -1) {
        std::fputs("Right parentheses are more than left parentheses\n",
                   stdout);
        return 0;
      }
      const auto opener = static_cast<char>(pop());
      if (match(opener, c) == 0) {
        std::fputs("Mismatched parentheses are : ", stdout);
        // The bytes of printf("%c and %c\n", opener, c), without the cost of
        // printf: its formatting code alone adds up to a tenth to the memory
        // that a run touches.
        const char pair[] = {opener, ' ', 'a', 'n', 'd', ' ', c, '\n', '\0'};
        std::fputs(pair, stdout);
        return 0;
      }
      break;
    }
    default:
      break;
    }
  }

  if (top == -1 && !dropped) {
    std::fputs("Balanced Parentheses\n", stdout);
    return 1;
  }
  std::fputs("Left parentheses more than right parentheses\n", stdout);
  return 0;
}

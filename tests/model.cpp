#include "model.hpp"

#include <algorithm>
#include <vector>

namespace {

constexpr std::size_t depth_limit = 30;
constexpr std::size_t length_limit = 43;

// The pairs, each opener followed by its closer.
constexpr std::string_view pairs = "()[]{}";

} // namespace

CheckModel model_check(std::string_view expression) {
  expression = expression.substr(0, expression.find('\0'));

  std::vector<char> open;
  std::string out;
  bool dropped = false;
  for (const char c : expression) {
    const std::size_t at = pairs.find(c);
    if (at == std::string_view::npos) {
      continue; // not a bracket
    }
    if (at % 2 == 0) {
      // The depth rule: an opener that would be the 31st is lost.
      if (open.size() == depth_limit) {
        out += "Stack Overflow\n";
        dropped = true;
      } else {
        open.push_back(c);
      }
      continue;
    }
    if (open.empty()) {
      return {out + "Right parentheses are more than left parentheses\n", 0};
    }
    const char last = open.back();
    open.pop_back();
    if (last != pairs[at - 1]) {
      return {out + "Mismatched parentheses are : " + last + " and " + c + "\n",
              0};
    }
  }
  // A lost opener was never closed, whatever the count of the rest says.
  if (open.empty() && !dropped) {
    return {out + "Balanced Parentheses\n", 1};
  }
  return {out + "Left parentheses more than right parentheses\n", 0};
}

RunModel model_run(std::string_view input) {
  const std::string prompt = "Enter an algebraic expression : ";
  if (input.empty()) {
    return {prompt + "No expression entered\n", 2, 0};
  }
  const std::size_t end = std::min(input.find('\n'), input.size());
  const std::size_t consumed = std::min(end + 1, input.size());
  const std::string_view line = input.substr(0, end);
  // The length rule: a line is refused whole, and still consumed whole.
  if (line.size() > length_limit) {
    return {prompt + "Expression too long: the limit is 43 characters\n", 2,
            consumed};
  }
  const CheckModel check = model_check(line);
  return {
      prompt + check.out +
          (check.result == 1 ? "Valid expression\n" : "Invalid expression\n"),
      0, consumed};
}

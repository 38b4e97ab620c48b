// check on arbitrary bytes. Each input must give "Stack Overflow" lines and
// then exactly one diagnostic line, a result of 0 or 1 that fits the line,
// a stack within its bounds, and the reference model's very answer.

#include "bracket_checker.hpp"
#include "bracket_stack.hpp"
#include "capture.hpp"
#include "model.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view overflow_line = "Stack Overflow\n";

// "Mismatched parentheses are : X and Y\n", X an opener, Y a closer of
// another kind.
bool is_mismatch_line(std::string_view line) {
  constexpr std::string_view head = "Mismatched parentheses are : ";
  if (!line.starts_with(head)) {
    return false;
  }
  const std::string_view pair = line.substr(head.size());
  if (pair.size() != 8 || pair.substr(1, 5) != " and " || pair[7] != '\n') {
    return false;
  }
  const std::size_t opener = std::string_view("([{").find(pair[0]);
  const std::size_t closer = std::string_view(")]}").find(pair[6]);
  return opener != std::string_view::npos && closer != std::string_view::npos &&
         opener != closer;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  // The stack is process-wide and never reset: empty it the only way there
  // is, so that this input starts from empty as a run of the program does.
  while (top != -1) {
    pop();
  }

  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::int32_t result = check(input.c_str());
  const std::string out = take_output();

  if (result != 0 && result != 1) {
    fail("check returns 0 or 1", input, std::to_string(result));
  }
  if (top < -1 || top > stack_capacity - 1) {
    fail("top stays within -1 to 29", input, std::to_string(top));
  }

  std::string_view rest = out;
  while (rest.starts_with(overflow_line)) {
    rest.remove_prefix(overflow_line.size());
  }
  const bool balanced = rest == "Balanced Parentheses\n";
  if (!balanced && rest != "Left parentheses more than right parentheses\n" &&
      rest != "Right parentheses are more than left parentheses\n" &&
      !is_mismatch_line(rest)) {
    fail("one diagnostic line after the overflow lines", input, out);
  }
  if (balanced != (result == 1)) {
    fail("the result fits the diagnostic line", input, out);
  }

  const CheckModel want = model_check(input);
  if (out != want.out || result != want.result) {
    fail("agrees with the model", input,
         "wrote:\n" + out + "model:\n" + want.out);
  }
  return 0;
}

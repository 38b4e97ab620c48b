// The real program against the reference model, on thousands of generated
// inputs: every byte of standard output, the exit status, and what is left
// of standard input for the next reader must agree.
//
// The inputs come from a seeded generator, one seed per case. Set
// BRACKET_CHECK_SEED to run another series; a failure names the case's own
// seed and shows its input.

#include "model.hpp"
#include "process.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

constexpr int shards = 8;
constexpr int cases_per_shard = 400;

std::uint64_t base_seed() {
  const char* text = std::getenv("BRACKET_CHECK_SEED");
  return text == nullptr ? 20261211 : std::strtoull(text, nullptr, 0);
}

// The closer that pairs with c; anything else stays as it is.
char closer_for(char c) {
  return c == '(' ? ')' : c == '[' ? ']' : c == '{' ? '}' : c;
}

class Generator {
public:
  explicit Generator(std::uint64_t seed) : rng_(seed) {}

  // A whole standard input: one line, its line end or none, and often more
  // input after it.
  std::string input() {
    if (below(100) == 0) {
      return "";
    }
    std::string all = line();
    const auto end = below(10);
    if (end < 8) {
      all += '\n';
    } else if (end == 8) {
      all += "\r\n";
    }
    if (end <= 8 && below(2) == 0) {
      all += noise(below(20)) + "\n" + noise(below(20));
    }
    return all;
  }

private:
  std::uint64_t below(std::uint64_t n) {
    return std::uniform_int_distribution<std::uint64_t>(0, n - 1)(rng_);
  }

  char pick(const std::string& from) { return from[below(from.size())]; }

  // Line lengths cluster around the limits: the stack's 30 entries and the
  // line's 43 characters.
  std::size_t length() {
    switch (below(6)) {
    case 0:
      return below(4);
    case 1:
      return 28 + below(5);
    case 2:
      return 41 + below(5);
    case 3:
      return 100 + below(5000);
    default:
      return below(61);
    }
  }

  // Any byte but a line end, brackets most often.
  char byte() {
    switch (below(10)) {
    case 0:
      return '\0';
    case 1:
      return '\r';
    case 2:
      return static_cast<char>(128 + below(128));
    case 3: {
      const auto c = static_cast<char>(below(32));
      return c == '\n' ? '\t' : c;
    }
    case 4:
    case 5:
      return pick("ab+-*/ 19xyz.^");
    default:
      return pick("()[]{}");
    }
  }

  std::string noise(std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
      s += byte();
    }
    return s;
  }

  // Openers to a depth around the stack's limit, then closers, mostly the
  // right ones, to a length around the line's limit.
  std::string deep() {
    std::string openers;
    const std::size_t depth = 27 + below(7);
    for (std::size_t i = 0; i < depth; ++i) {
      openers += pick("([{");
      if (below(16) == 0) {
        openers += pick("ab ");
      }
    }
    std::string s = openers;
    const std::size_t total = 40 + below(6);
    for (std::size_t i = 0; s.size() < total; ++i) {
      const char o = openers[openers.size() - 1 - i % openers.size()];
      s += below(10) == 0 ? pick(")]}") : closer_for(o);
    }
    return s;
  }

  // A well nested line of up to 43 characters, then perhaps one change.
  std::string nested() {
    std::string s;
    std::string open;
    const std::size_t n = below(44);
    while (s.size() < n) {
      if (!open.empty() && (s.size() + open.size() >= n || below(2) == 0)) {
        s += closer_for(open.back());
        open.pop_back();
      } else if (below(4) == 0) {
        s += pick("ab+ ");
      } else {
        open += pick("([{");
        s += open.back();
      }
    }
    if (!s.empty() && below(2) == 0) {
      const std::size_t at = below(s.size());
      switch (below(3)) {
      case 0:
        s.erase(at, 1);
        break;
      case 1:
        s.insert(at, 1, pick("()[]{}"));
        break;
      default:
        s[at] = pick("()[]{}");
        break;
      }
    }
    return s;
  }

  std::string line() {
    switch (below(4)) {
    case 0:
      return deep();
    case 1:
      return nested();
    default:
      return noise(length());
    }
  }

  std::mt19937_64 rng_;
};

const char* const kind_names[] = {"pipe", "file", "socket"};

In input_kind(std::uint64_t seed) {
  switch (seed % 8) {
  case 0:
  case 1:
    return In::file;
  case 2:
    return In::socket;
  default:
    return In::pipe;
  }
}

std::string shown(const std::string& bytes) {
  std::string s = "\"";
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      s += '\\';
      s += c;
    } else if (u >= 0x20 && u < 0x7f) {
      s += c;
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02x", u);
      s += escape;
    }
  }
  return s + "\"";
}

class Differential : public testing::TestWithParam<int> {};

TEST_P(Differential, ProgramAgreesWithTheModel) {
  // How the cases ended, to show what the series covered.
  int valid = 0;
  int overflow = 0;
  int refused = 0;
  for (int i = 0; i < cases_per_shard; ++i) {
    const std::uint64_t seed =
        base_seed() + static_cast<std::uint64_t>(GetParam()) * cases_per_shard +
        static_cast<std::uint64_t>(i);
    const std::string input = Generator(seed).input();
    const In kind = input_kind(seed);
    const RunModel want = model_run(input);
    std::string left;
    const Outcome got = run_program({input, kind}, &left);

    const bool agree = got.out == want.out && got.status == want.status &&
                       got.err.empty() && left == input.substr(want.consumed);
    ASSERT_TRUE(agree) << "seed " << seed << " (BRACKET_CHECK_SEED=" << seed
                       << " reruns it first), through a "
                       << kind_names[static_cast<int>(kind)] << "\n  input "
                       << shown(input) << "\n  wrote " << shown(got.out)
                       << ", status " << got.status << ", stderr "
                       << shown(got.err) << ", left " << shown(left)
                       << "\n  model " << shown(want.out) << ", status "
                       << want.status << ", left "
                       << shown(input.substr(want.consumed));
    valid += static_cast<int>(want.out.ends_with("Valid expression\n"));
    overflow +=
        static_cast<int>(want.out.find("Overflow") != std::string::npos);
    refused += static_cast<int>(want.status == 2);
  }
  std::printf("%d cases: %d valid, %d invalid, %d with overflow, %d not "
              "checked\n",
              cases_per_shard, valid, cases_per_shard - valid - refused,
              overflow, refused);
}

INSTANTIATE_TEST_SUITE_P(Seeds, Differential, testing::Range(0, shards));

} // namespace

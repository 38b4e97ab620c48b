#pragma once

#include <cstdint>

// The openers still waiting for their closers. There is one stack per
// process, set up by static initialisation and never reset: a run checks a
// single expression, so it starts from empty exactly once.
constexpr std::int32_t stack_capacity = 30;

extern std::int32_t stack[stack_capacity];
extern std::int32_t top; // index of the topmost entry; -1 when empty

// Stores c on top; when the stack is full, writes "Stack Overflow" instead
// and drops c. The caller is not told.
void push(char c);

// Removes and returns the top entry. On an empty stack, writes
// "Stack Underflow" and ends the process with status 1.
std::int32_t pop();

#pragma once

#include <cstdint>

// Scans the zero-terminated expression once, using the process-wide bracket
// stack, and writes one diagnostic line saying why it passes or fails.
// Returns 1 when its brackets are balanced and properly nested, 0 otherwise.
std::int32_t check(const char* expression);

// 1 when opener and closer form one of the pairs [] {} (), 0 otherwise.
std::int32_t match(char opener, char closer);

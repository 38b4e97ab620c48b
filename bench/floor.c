/* The floor: only the I/O that a run cannot avoid. It writes the prompt,
   flushes it, reads one line with fgets and writes two lines. Whatever the
   real program costs beyond this is its own. */

#include <stdio.h>

int main(void) {
  char line[44];
  fputs("Enter an algebraic expression : ", stdout);
  fflush(stdout);
  if (fgets(line, sizeof line, stdin) == NULL) {
    return 2;
  }
  puts("Balanced Parentheses");
  puts("Valid expression");
  return 0;
}

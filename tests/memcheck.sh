#!/bin/sh
# Valgrind's memcheck over the program on representative inputs: through a
# pipe and from a file, valid, invalid, overflowing, overlong, empty, and
# with standard input closed. Any report from valgrind fails.
set -u
program=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0

memcheck() { # name; standard input comes on this function's own
  valgrind -q --error-exitcode=99 --leak-check=full \
    --errors-for-leak-kinds=all "$program" >/dev/null 2>"$tmp/report"
  # The program's own exit statuses are 0 and 2; 99 is valgrind's.
  if [ $? = 99 ] || [ -s "$tmp/report" ]; then
    echo "memcheck: $1"
    cat "$tmp/report"
    failed=1
  else
    echo "clean: $1"
  fi
}

long=$(head -c 100000 /dev/zero | tr '\0' '(')
printf '(a+b)*[c-d]\n' | memcheck "balanced, pipe"
printf '([)]\n' >"$tmp/in" && memcheck "mismatch, file" <"$tmp/in"
printf '%s\n' "(((((((((((((((((((((((((((((((]" | memcheck "overflow"
printf '%s\nnext\n' "$long" | memcheck "100000-byte line, pipe"
printf '%s\nnext\n' "$long" >"$tmp/in" && memcheck "100000-byte line, file" <"$tmp/in"
printf '' | memcheck "no input"
memcheck "standard input closed" <&-
exit $failed

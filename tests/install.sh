#!/bin/sh
# Installs the build into a scratch prefix, as `cmake --install` does for a
# user, and checks what lands there: the program, which runs, and its
# manual page.
set -eu
cmake=$1
build=$2
source=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

"$cmake" --install "$build" --prefix "$prefix" >/dev/null
out=$(printf '(a)\n' | "$prefix/bin/bracket-check")
expected='Enter an algebraic expression : Balanced Parentheses
Valid expression'
if [ "$out" != "$expected" ]; then
  echo "the installed program wrote: $out"
  exit 1
fi
cmp "$source/docs/bracket-check.1" "$prefix/share/man/man1/bracket-check.1"

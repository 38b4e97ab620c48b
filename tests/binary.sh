#!/bin/sh
# The program's binary needs no shared library beyond the C library, and
# carries no code of its own that runs before main or after it: no static
# initialiser or finaliser, no exit handler, no thread-local data.
set -u
program=$1
failed=0

needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' |
  grep -v '^libc\.so\.')
if [ -n "$needed" ]; then
  echo "needs more than the C library: $needed"
  failed=1
fi

own=$(nm "$program" | grep -E '_GLOBAL__sub_[ID]_|__cxa_atexit|__cxa_thread_atexit| atexit')
if [ -n "$own" ]; then
  echo "runs code of its own before or after main: $own"
  failed=1
fi

if readelf -S -W "$program" | grep -q -E '\.t(data|bss) '; then
  echo "has thread-local data"
  failed=1
fi
exit $failed

#!/bin/sh
# check_posix_headers.sh SRC: POSIX headers are included only by the POSIX
# implementation of the platform layer (SRC/platform/posix/); every other
# source reaches the system through the platform interface.
set -eu
export LC_ALL=C
src=$1
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(unistd|fcntl|netdb|dirent|dlfcn|pthread|poll|pwd|grp|syslog|termios|spawn|sched|semaphore|strings|libgen|glob|fnmatch|wordexp|langinfo|iconv|netinet/|arpa/|sys/)'
found=$(find "$src" -path "$src/platform/posix" -prune -o \( -name '*.cpp' -o -name '*.h' \) \
  -type f -print | sort | xargs grep -nE "$pattern" || true)
if [ -n "$found" ]; then
  echo "POSIX headers outside $src/platform/posix:" >&2
  echo "$found" >&2
  exit 1
fi
echo "no POSIX header outside $src/platform/posix"

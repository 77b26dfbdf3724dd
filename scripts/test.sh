#!/bin/sh
# The tests: installs what is missing, builds and runs every test.
#   scripts/test.sh             the release build (RelWithDebInfo)
#   scripts/test.sh --sanitize  the AddressSanitizer + UBSan build
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
preset=default
if [ "${1:-}" = "--sanitize" ]; then
  preset=sanitize
fi
xoltlog_install_missing_packages
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(xoltlog_jobs)"
ctest --preset "$preset"

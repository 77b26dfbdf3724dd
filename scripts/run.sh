#!/bin/sh
# The main job: installs what is missing, builds, and runs the demonstration
# in a fresh directory (or in $XOLTLOG_DEMO_DIR): a product set up in a
# store file there, every kind of message logged from two processes and
# several threads into files that roll over at 2 KiB, and the files read
# back. Nothing outside that directory is written.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
xoltlog_install_missing_packages
cmake --preset default >/dev/null
cmake --build --preset default --target xoltlog_demo -j "$(xoltlog_jobs)"
demo_dir=${XOLTLOG_DEMO_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/xoltlog-demo.XXXXXX")}
echo "demo directory: $demo_dir"
./build/default/examples/xoltlog_demo "$demo_dir"

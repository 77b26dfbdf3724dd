#!/bin/sh
# The main job: installs what is missing, builds, and runs the example
# program that builds catalog and printf-style messages into message records.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
xoltlog_install_missing_packages
cmake --preset default >/dev/null
cmake --build --preset default --target record_demo -j "$(xoltlog_jobs)"
./build/default/examples/record_demo

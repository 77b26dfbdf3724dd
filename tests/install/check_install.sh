#!/bin/sh
# check_install.sh BUILD_DIR SOURCE_DIR: installs the build into a temporary
# prefix, then builds and runs the example program against it twice, once
# through find_package(xoltlog) and once through pkg-config.
set -eu
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(find "$prefix" -name 'libxoltlog.so' -printf '%h\n' | head -n 1)

cmake -S "$source/tests/install/consumer" -B "$work/consumer" -G Ninja \
  -DCMAKE_PREFIX_PATH="$prefix" -DEXAMPLE_SOURCE="$source/examples/record_demo.c" >/dev/null
cmake --build "$work/consumer" >/dev/null
LD_LIBRARY_PATH=$libdir "$work/consumer/consumer" >/dev/null

PKG_CONFIG_PATH=$libdir/pkgconfig
export PKG_CONFIG_PATH
# shellcheck disable=SC2046
cc -std=c11 -o "$work/pkg-consumer" "$source/examples/record_demo.c" \
  $(pkg-config --cflags --libs xoltlog)
LD_LIBRARY_PATH=$libdir "$work/pkg-consumer" >/dev/null
readelf -d "$libdir/libxoltlog.so" | grep -q 'SONAME.*libxoltlog.so.3'
# The tool's manual pages (when scdoc built them) and the guide.
if command -v scdoc >/dev/null 2>&1; then
  test -s "$prefix/share/man/man1/xoltlog.1"
  test -s "$prefix/share/man/man5/xoltlog-config.5"
fi
test -s "$(find "$prefix/share/doc" -name getting-started.md | head -n 1)"
echo "install, find_package, pkg-config, SONAME, manual pages and guide: ok"

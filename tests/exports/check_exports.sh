#!/bin/sh
# check_exports.sh LIBRARY NAMES: the defined dynamic symbols of LIBRARY must
# be exactly the names in NAMES (one a line), no more and no fewer.
set -eu
export LC_ALL=C
library=$1
expected=$2
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
nm -D --defined-only "$library" | awk '$2 ~ /^[TDBRVW]$/ { print $3 }' | sed 's/@.*//' | sort -u >"$actual"
if ! diff -u "$expected" "$actual"; then
  echo "exported names of $library differ from $expected (- missing, + unexpected)" >&2
  exit 1
fi

#!/bin/sh
# check_exports.sh LIBRARY HEADER...: the defined dynamic symbols of LIBRARY
# must be exactly the functions that the headers declare with XOLTLOG_API,
# no more and no fewer.
set -eu
export LC_ALL=C
library=$1
shift
expected=$(mktemp)
actual=$(mktemp)
trap 'rm -f "$expected" "$actual"' EXIT
# Declarations may span lines; join each one up to its "(" first.
cat "$@" | tr '\n' ' ' | grep -o 'XOLTLOG_API [^(;]*(' |
  sed 's/($//; s/.*[ *]//' | sort -u >"$expected"
nm -D --defined-only "$library" | awk '$2 ~ /^[TDBRVW]$/ { print $3 }' | sed 's/@.*//' |
  sort -u >"$actual"
if ! diff -u "$expected" "$actual"; then
  echo "exports of $library differ from the declarations (- missing, + unexpected)" >&2
  exit 1
fi
echo "$(wc -l <"$actual") exported names match the headers"

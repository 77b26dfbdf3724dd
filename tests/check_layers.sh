#!/bin/sh
# Every folder of src/ includes only folders below it, so that no two
# folders depend on each other. Prints each include that points upwards.
set -eu
src=${1:?usage: check_layers.sh <src dir>}
layers="platform frame message logfile config access writer output api"

rank() {
  i=0
  for layer in $layers; do
    [ "$layer" = "$1" ] && { echo "$i"; return; }
    i=$((i + 1))
  done
  echo ""
}

status=0
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  own=$(rank "$folder")
  [ -n "$own" ] || { echo "unknown layer: $folder"; status=1; continue; }
  for target in $(grep -rhoE '^#include "[a-z_]+/' "$dir" | sed 's/^#include "//; s/\/$//' | sort -u); do
    other=$(rank "$target")
    [ -n "$other" ] || continue
    if [ "$other" -gt "$own" ]; then
      grep -rn "^#include \"$target/" "$dir" | sed "s|^|$folder reaches up to $target: |"
      status=1
    fi
  done
done
exit $status

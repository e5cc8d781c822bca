#!/usr/bin/env bash
# Checks that every include of the project goes with the direction of the
# layers: records <- rawdata <- formats <- app, comm over records and rawdata;
# the windows of a subsystem (its ui/ folder) over that subsystem and the
# shared window helpers in src/ui/; the main window (app/ui) over every other
# window; the fronts (src/main.cpp, cli/) on top, lumaq-cli on the core only.
# Prints every include against the direction and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# What the files of a folder may include, by the include's own folder.
allowed_for() {
  case "$1" in
    src/records) echo "records" ;;
    src/rawdata) echo "records rawdata" ;;
    src/formats) echo "records rawdata formats" ;;
    src/comm) echo "records rawdata comm" ;;
    src/app) echo "records rawdata formats comm app" ;;
    src/ui) echo "ui" ;;
    src/comm/ui) echo "records rawdata comm ui comm/ui" ;;
    src/formats/ui) echo "records rawdata formats ui formats/ui" ;;
    src/app/ui) echo "records rawdata formats comm app ui comm/ui formats/ui app/ui" ;;
    src) echo "records rawdata formats comm app ui comm/ui formats/ui app/ui" ;;
    cli) echo "records rawdata formats comm app cli" ;;
    *) return 1 ;;
  esac
}

# The layer an include names: "comm/ui/Unit3.h" is comm/ui, "records/X.h"
# records; an include without a folder (a neighbour file) is the file's own.
layer_of_include() {
  local include="$1" own="$2"
  case "$include" in
    */ui/*) echo "${include%%/ui/*}/ui" ;;
    */*) echo "${include%%/*}" ;;
    *) echo "$own" ;;
  esac
}

status=0
while IFS= read -r file; do
  folder="$(dirname "$file")"
  allowed="$(allowed_for "$folder")" || continue
  own="${folder#src/}"
  while IFS= read -r match; do
    line="${match%%:*}"
    include="${match#*:}"
    include="${include#*\"}"
    include="${include%%\"*}"
    layer="$(layer_of_include "$include" "$own")"
    if [[ " $allowed " != *" $layer "* ]]; then
      echo "check_layers: $file:$line includes \"$include\" ($folder may use: $allowed)" >&2
      status=1
    fi
  done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' "$file" || true)
done < <(find src cli -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
exit "$status"

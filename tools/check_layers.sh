#!/usr/bin/env bash
# Checks that every include of the project goes with the direction of the
# layers: records <- rawdata <- formats, comm over records
# and rawdata, app over all four; the windows of a subsystem (its ui/ folder) over
# that subsystem and the shared window helpers in src/ui/; the main window
# (app/ui) over every other window; the fronts (src/main.cpp, cli/) on top,
# lumaq-cli on the core only; the GIS module (formats/gis, a library the core
# loads at run time) over its own files and the entry table it exports. The
# build enforces the same with its include
# paths (src/CMakeLists.txt); this check reads the text, so it also sees a
# file no target compiles.
#
# Every source and header under src/ and cli/ is read, "..." and <...>
# includes alike; a folder that is not listed below is an error until it is
# given its place. Prints every include against the direction and exits 1
# when there is one.
#
#   tools/check_layers.sh [ROOT]   ROOT: the tree to check (default: this one)
set -euo pipefail
cd "${1:-$(dirname "${BASH_SOURCE[0]}")/..}"

# What the files of a folder may include, by the include's own folder.
declare -A allowed_for=(
  [src/records]="records"
  [src/rawdata]="records rawdata"
  [src/formats]="records rawdata formats"
  [src/formats/gis]="formats/gis formats/GisEntries.h"
  [src/comm]="records rawdata comm"
  [src/app]="records rawdata formats comm app"
  [src/ui]="ui"
  [src/comm/ui]="records rawdata comm ui comm/ui"
  [src/formats/ui]="records rawdata formats ui formats/ui"
  [src/app/ui]="records rawdata formats comm app ui comm/ui formats/ui app/ui"
  [src]="records rawdata formats comm app ui comm/ui formats/ui app/ui"
  [cli]="records rawdata formats comm app cli"
)

# The project's own top folders: an include <X/...> of one of them is the
# project's, not the system's.
project_folders=" cli $(find src -mindepth 1 -maxdepth 1 -type d -printf '%f ') "

mapfile -t files < <(find src cli -type f \( -name '*.cpp' -o -name '*.cc' -o -name '*.cxx' \
  -o -name '*.c' -o -name '*.h' -o -name '*.hh' -o -name '*.hpp' -o -name '*.hxx' -o -name '*.ipp' \
  -o -name '*.inl' \) | sort)

status=0
for file in "${files[@]}"; do
  folder="${file%/*}"
  if [[ -z "${allowed_for[$folder]+known}" ]]; then
    echo "check_layers: $file is in $folder, which is no layer; give it its place in" \
      "tools/check_layers.sh and src/CMakeLists.txt" >&2
    status=1
  fi
done

while IFS= read -r match; do
  file="${match%%:*}"
  match="${match#*:}"
  line="${match%%:*}"
  include="${match#*:}"
  folder="${file%/*}"
  [[ -n "${allowed_for[$folder]+known}" ]] || continue
  allowed="${allowed_for[$folder]}"
  include="${include#*include}"
  include="${include#"${include%%[\"<]*}"}"
  if [[ "$include" == \<* ]]; then
    include="${include#<}"
    include="${include%%>*}"
    # <vector>, <sys/stat.h>, <QWidget>: not the project's.
    [[ "$include" == */* && "$project_folders" == *" ${include%%/*} "* ]] || continue
  else
    include="${include#\"}"
    include="${include%%\"*}"
  fi
  # The layer the include names: "comm/ui/Unit3.h" is comm/ui, "records/X.h"
  # records; an include without a folder (a neighbour file) is the file's own.
  # A layer may also allow one file of another by its path.
  case "$include" in
    */ui/*) layer="${include%%/ui/*}/ui" ;;
    */gis/*) layer="${include%%/gis/*}/gis" ;;
    */*) layer="${include%%/*}" ;;
    *) layer="${folder#src/}" ;;
  esac
  if [[ " $allowed " != *" $layer "* && " $allowed " != *" $include "* ]]; then
    echo "check_layers: $file:$line includes \"$include\" ($folder may use: $allowed)" >&2
    status=1
  fi
done < <(grep -H -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "${files[@]}" || true)
exit "$status"

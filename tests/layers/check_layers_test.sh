#!/usr/bin/env bash
# tools/check_layers.sh passes the tree as it is, and fails a copy of it with
# one include planted against the layers: each way of slipping one past it.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/clean"
cp -R "$repo/src" "$repo/cli" "$tmp/clean/"
check="$repo/tools/check_layers.sh"

"$check" "$tmp/clean" || { echo "check_layers_test: the clean tree fails" >&2; exit 1; }

failures=0
# label | file planted or appended to | the line
while IFS='|' read -r label file line; do
  copy="$tmp/case"
  rm -rf "$copy"
  cp -R "$tmp/clean" "$copy"
  mkdir -p "$(dirname "$copy/$file")"
  printf '%s\n' "$line" >>"$copy/$file"
  if errors="$("$check" "$copy" 2>&1)"; then
    echo "check_layers_test: not refused: $label" >&2
    failures=$((failures + 1))
  elif [[ "$errors" != *"$file"* ]]; then
    echo "check_layers_test: $label: the refusal does not name $file: $errors" >&2
    failures=$((failures + 1))
  fi
done <<'CASES'
records includes rawdata|src/records/RecordLine.cpp|#include "rawdata/String_func.h"
rawdata includes formats|src/rawdata/RawRecord.cpp|#include "formats/ExportFormats.h"
formats includes comm in angle brackets|src/formats/ExportFormats.cpp|#include <comm/ComPort.h>
comm includes a window|src/comm/ComPort.h|#  include "comm/ui/Trans.h"
a window of formats includes the transfer dialog|src/formats/ui/Unit4.cpp|#include "comm/ui/Trans.h"
the shared window helpers include records|src/ui/ErrorBox.cpp|#include "records/RecordLine.h"
a .hpp header of records includes app|src/records/Planted.hpp|#include "app/MainCommands.h"
an include past the folder|src/rawdata/RawRecord.cpp|#include "../app/MainView.h"
lumaq-cli includes a window|cli/main.cpp|#include "app/ui/Zivoru_main.h"
a file in a folder of no layer|src/plugins/Planted.cpp|#include "records/RecordLine.h"
a file in a new subfolder|src/comm/protocol/Planted.h|#include "comm/ComPort.h"
the GIS module includes the core past its entry table|src/formats/gis/CodePage.h|#include "formats/ExportFormats.h"
the core includes the GIS module, which it only loads|src/formats/GisFormats.cpp|#include "formats/gis/CodePage.h"
CASES

((failures == 0)) || exit 1
echo "check_layers_test: the clean tree passes; every planted include is refused"

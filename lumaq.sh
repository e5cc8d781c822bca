#!/usr/bin/env bash
# Installs what is missing, builds, and starts Lumaq with the given arguments
# (for example the path of a BDT job file to open).
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")"
./tools/setup.sh

if [[ -x build/lumaq ]]; then
  exec build/lumaq "$@"
fi

echo "lumaq: build succeeded (core library, tests and benchmarks)."
echo "lumaq: the program window (build/lumaq) comes in a later step."

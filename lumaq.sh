#!/usr/bin/env bash
# Installs what is missing, builds, and starts Lumaq with the given arguments
# (for example the path of a BDT job file to open).
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")"
./tools/setup.sh

exec build/lumaq "$@"

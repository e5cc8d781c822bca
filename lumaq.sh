#!/usr/bin/env bash
# Installs what is missing, builds, and starts Lumaq with the given arguments
# (for example the path of a BDT job file to open, relative to where you are).
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$repo/tools/setup.sh"

exec "$repo/build/lumaq" "$@"

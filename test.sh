#!/usr/bin/env bash
# Installs what is missing, builds, checks that the core library is free of Qt,
# then runs every test with CTest. Exits with CTest's status.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")"
./tools/setup.sh

# lumaq_core must stay toolkit-free: none of its sources may be compiled with
# Qt's include paths or defines, and the archive may not call into Qt.
check_core_has_no_qt() {
  local archive=build/src/liblumaq_core.a
  if [[ ! -f "$archive" ]]; then
    echo "test: $archive was not built" >&2
    return 1
  fi
  local core_commands
  core_commands="$(grep -E '"command": .*/lumaq_core\.dir/' build/compile_commands.json || true)"
  if [[ -z "$core_commands" ]]; then
    echo "test: no compile command of lumaq_core in build/compile_commands.json" >&2
    return 1
  fi
  if grep -qE -- '-DQT_|/qt6/' <<<"$core_commands"; then
    echo "test: lumaq_core is compiled with Qt flags (see build/compile_commands.json)" >&2
    return 1
  fi
  local qt_symbols
  qt_symbols="$(nm -C --undefined-only "$archive" \
    | grep -E '^ +U (Q[A-Z][A-Za-z0-9_]*::|q[A-Z][A-Za-z0-9_]*\(|qt_)' || true)"
  if [[ -n "$qt_symbols" ]]; then
    echo "test: lumaq_core uses Qt symbols:" >&2
    head -n 10 <<<"$qt_symbols" >&2
    return 1
  fi
}
check_core_has_no_qt

exec ctest --test-dir build --output-on-failure --no-tests=error -j2

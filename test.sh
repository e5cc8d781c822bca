#!/usr/bin/env bash
# Installs what is missing, builds, checks the direction of the includes, the
# layout of the code and that the core libraries are free of Qt, runs every
# fuzz harness for a few seconds, then runs every test with CTest.
# Exits with CTest's status.
#
#   ./test.sh              build/, as above
#   ./test.sh --sanitize   build-sanitize/: the whole suite built with
#                          AddressSanitizer and UndefinedBehaviorSanitizer
#                          (leaks reported, the first error fails the test)
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")"

case "${1:-}" in
  "") ;;
  --sanitize)
    ./tools/setup.sh sanitize
    # Leaks are errors; the suppressions name leaks inside Qt's and
    # fontconfig's own libraries, never ours.
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
    export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    exec ctest --test-dir build-sanitize --output-on-failure --no-tests=error -j2
    ;;
  *)
    echo "usage: ./test.sh [--sanitize]" >&2
    exit 2
    ;;
esac

./tools/setup.sh

# Every include goes with the direction of the layers, and the code is laid
# out as .clang-format says.
./tools/check_layers.sh
find src cli tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format --dry-run -Werror

# The core libraries must stay toolkit-free: none of their sources may be
# compiled with Qt's include paths or defines, and no archive may call into Qt.
core_libraries=(records rawdata formats comm app)
check_core_has_no_qt() {
  local name archive core_commands qt_symbols
  for name in "${core_libraries[@]}"; do
    archive="build/src/liblumaq_${name}.a"
    if [[ ! -f "$archive" ]]; then
      echo "test: $archive was not built" >&2
      return 1
    fi
    core_commands="$(grep -E "\"command\": .*/lumaq_${name}\\.dir/" build/compile_commands.json || true)"
    if [[ -z "$core_commands" ]]; then
      echo "test: no compile command of lumaq_${name} in build/compile_commands.json" >&2
      return 1
    fi
    if grep -qE -- '-DQT_|/qt6/' <<<"$core_commands"; then
      echo "test: lumaq_${name} is compiled with Qt flags (see build/compile_commands.json)" >&2
      return 1
    fi
    qt_symbols="$(nm -C --undefined-only "$archive" \
      | grep -E '^ +U (Q[A-Z][A-Za-z0-9_]*::|q[A-Z][A-Za-z0-9_]*\(|qt_)' || true)"
    if [[ -n "$qt_symbols" ]]; then
      echo "test: lumaq_${name} uses Qt symbols:" >&2
      head -n 10 <<<"$qt_symbols" >&2
      return 1
    fi
  done
}
check_core_has_no_qt

# Every fuzz harness builds and survives a few seconds of its fuzzer.
./tools/fuzz.sh --smoke

exec ctest --test-dir build --output-on-failure --no-tests=error -j2

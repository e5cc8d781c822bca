#!/usr/bin/env bash
# Runs every benchmark and prints one table: the operation, our time, the
# floor or peer it is compared with in the same run, its time, and the ratio
# of the two.
#
#   bench/run.sh            the full runs
#   bench/run.sh --quick    fewer repetitions, in under two minutes
#
# The rows come from the providers in bench/rows/*.sh, run in name order: each
# prints its rows as "operation<TAB>our seconds<TAB>floor<TAB>floor seconds"
# (floor seconds may be "-" where there is none). A new benchmark adds its
# rows by adding a provider there (the transfer's frames per second, for
# example). The providers find the build in $LUMAQ_BUILD and the wish for
# quick runs in $LUMAQ_BENCH_QUICK (1 or 0).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

quick=0
case "${1:-}" in
  "") ;;
  --quick) quick=1 ;;
  *)
    echo "usage: bench/run.sh [--quick]" >&2
    exit 2
    ;;
esac

./tools/setup.sh >/dev/null
export LUMAQ_BUILD="$PWD/build" LUMAQ_BENCH_QUICK="$quick" LC_ALL=C

rows="$(mktemp)"
trap 'rm -f "$rows"' EXIT
status=0
for provider in bench/rows/*.sh; do
  if ! bash "$provider" >>"$rows"; then
    echo "bench: $provider failed" >&2
    status=1
  fi
done

awk -F '\t' '
  function shown(s) {
    if (s == "-") return "-"
    if (s >= 1) return sprintf("%.2f s", s)
    if (s >= 0.001) return sprintf("%.1f ms", s * 1000)
    return sprintf("%.1f us", s * 1e6)
  }
  BEGIN {
    printf "| %-46s | %10s | %-30s | %10s | %6s |\n", "operation", "ours", "floor or peer", "its time", "ratio"
    printf "|%s|%s|%s|%s|%s|\n", "------------------------------------------------", "------------",
      "--------------------------------", "------------", "--------"
  }
  NF >= 4 {
    ratio = ($4 == "-" || $4 == 0) ? "-" : sprintf($2 / $4 < 1 ? "%.2f" : "%.1f", $2 / $4)
    printf "| %-46s | %10s | %-30s | %10s | %6s |\n", $1, shown($2), $3, shown($4), ratio
  }' "$rows"
exit "$status"

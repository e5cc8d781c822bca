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

# The machine and how busy it was: the table means little without them.
load() { cut -d ' ' -f 1-3 /proc/loadavg; }
processor="$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
load_before="$(load)"

rows="$(mktemp)"
trap 'rm -f "$rows"' EXIT
status=0
for provider in bench/rows/*.sh; do
  if ! bash "$provider" >>"$rows"; then
    echo "bench: $provider failed" >&2
    status=1
  fi
done

echo "machine: ${processor:-unknown processor}, $(nproc) cores; load average (1, 5, 15 min)" \
  "$load_before at the start, $(load) at the end"
# Two passes over the rows: the widths of the columns, then the table.
awk -F '\t' '
  function shown(s) {
    if (s == "-") return "-"
    if (s >= 1) return sprintf("%.2f s", s)
    if (s >= 0.001) return sprintf("%.1f ms", s * 1000)
    return sprintf("%.1f us", s * 1e6)
  }
  # Three significant digits: 2.20, 0.990, 0.00420; whole numbers from 100.
  function ratio(ours, floor,   r, decimals) {
    if (floor == "-" || floor == 0) return "-"
    r = ours / floor
    if (r <= 0) return "0"
    # The decimal exponent after rounding to three digits (9.996 is 10.0).
    decimals = 2 - substr(sprintf("%.2e", r), 6)
    if (decimals < 0) decimals = 0
    return sprintf("%." decimals "f", r)
  }
  function widen(column, text) { if (length(text) > width[column]) width[column] = length(text) }
  function line(a, b, c, d, e) {
    printf "| %-*s | %*s | %-*s | %*s | %*s |\n", width[1], a, width[2], b, width[3], c, width[4], d, width[5], e
  }
  function rule(   i, dashes) {
    printf "|"
    for (i = 1; i <= 5; i++) { dashes = sprintf("%*s", width[i] + 2, ""); gsub(/ /, "-", dashes); printf "%s|", dashes }
    printf "\n"
  }
  BEGIN { split("operation|ours|floor or peer|its time|ratio", head, "|"); for (i = 1; i <= 5; i++) widen(i, head[i]) }
  NF >= 4 {
    n++
    cell[n, 1] = $1; cell[n, 2] = shown($2); cell[n, 3] = $3; cell[n, 4] = shown($4); cell[n, 5] = ratio($2, $4)
    for (i = 1; i <= 5; i++) widen(i, cell[n, i])
  }
  END {
    line(head[1], head[2], head[3], head[4], head[5])
    rule()
    for (k = 1; k <= n; k++) line(cell[k, 1], cell[k, 2], cell[k, 3], cell[k, 4], cell[k, 5])
  }' "$rows"
exit "$status"

# Rows of bench/run.sh: lumaq-cli import and export of every format against
# the same conversions in mawk, over the same bytes.
set -euo pipefail
runs=10
[[ "${LUMAQ_BENCH_QUICK:-0}" == 1 ]] && runs=2
exec bash "$(dirname "${BASH_SOURCE[0]}")/../formats_awk_floor.sh" --rows "$runs" \
  "$LUMAQ_BUILD/lumaq-cli"

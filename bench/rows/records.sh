# Rows of bench/run.sh: the record table (fill, tidy, open), the window core
# opening a text file of 1,000,000 lines, and the real window (offscreen)
# opening and tidying a full job, each against mawk doing the same splitting
# and formatting over a file of the same shape.
set -euo pipefail
min_time=0.5
runs=5
if [[ "${LUMAQ_BENCH_QUICK:-0}" == 1 ]]; then
  min_time=0.05
  runs=1
fi
mawk_program="$(command -v mawk || command -v awk)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A full job (15999 record lines) and a text of 1,000,000 lines.
"$mawk_program" 'BEGIN { for (i = 1; i <= 15999; i++)
  printf "%-9s%-9s%-12s%-12s%s\r\n", "P" i, "TREE", 3456.789 + i, 1234.5 + i, (i % 10 ? "12.300" : "") }' \
  >"$work/JOB.BDT"
"$mawk_program" 'BEGIN { for (i = 0; i < 1000000; i++)
  printf "P%d  HA=123.4510  VA=89.5959  SD=123.456m\r\n", i }' >"$work/FIELD.TXT"
cat >"$work/fields.awk" <<'AWK'
function trim(s) { gsub(/^[ \t]+|[ \t]+$/, "", s); return s }
{ sub(/\r$/, ""); name[NR] = trim(substr($0, 1, 8)); code[NR] = trim(substr($0, 10, 8))
  n[NR] = trim(substr($0, 19, 11)); e[NR] = trim(substr($0, 31, 11)); z[NR] = trim(substr($0, 43, 11)) }
AWK
cat >"$work/tidy.awk" <<'AWK'
function trim(s) { gsub(/^[ \t]+|[ \t]+$/, "", s); return s }
{ sub(/\r$/, ""); z = trim(substr($0, 43, 11))
  printf "%-9s%-9s%-12s%-12s%s\r\n", trim(substr($0, 1, 8)), trim(substr($0, 10, 8)),
    trim(substr($0, 19, 11)), trim(substr($0, 31, 11)), (z == "" ? "0.000" : z) }
AWK

# Seconds per run of a command over $runs runs.
seconds() {
  local start end
  start=$(date +%s%N)
  for ((run = 0; run < runs; run++)); do "$@" >"$work/out"; done
  end=$(date +%s%N)
  "$mawk_program" -v ns="$((end - start))" -v n="$runs" 'BEGIN { printf "%.6f", ns / n / 1e9 }'
}
split_floor="$(seconds "$mawk_program" -f "$work/fields.awk" "$work/JOB.BDT")"
tidy_floor="$(seconds "$mawk_program" -f "$work/tidy.awk" "$work/JOB.BDT")"
lines_floor="$(seconds "$mawk_program" '{ line[NR] = $0 }' "$work/FIELD.TXT")"

"$LUMAQ_BUILD/bench/lumaq_bench" --benchmark_format=json --benchmark_min_time="$min_time" \
  --benchmark_filter='^BM_(FillTableFromJobText|TidyRecords|OpenBdtFile|OpenTxtMillionLines)' \
  >"$work/core.json" 2>/dev/null
QT_QPA_PLATFORM=offscreen "$LUMAQ_BUILD/bench/lumaq_ui_bench" --benchmark_format=json \
  --benchmark_min_time="$min_time" >"$work/window.json" 2>/dev/null

python3 - "$work/core.json" "$work/window.json" "$split_floor" "$tidy_floor" "$lines_floor" <<'PY'
import json, sys

scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
seconds = {}
for path in sys.argv[1:3]:
    for b in json.load(open(path))["benchmarks"]:
        seconds[b["name"].split("/")[0]] = b["real_time"] * scale[b["time_unit"]]
split_floor, tidy_floor, lines_floor = sys.argv[3:6]
rows = [
    ("table fill, 15999 records", "BM_FillTableFromJobText", "mawk: BDT lines to fields", split_floor),
    ("tidy, 15999 records", "BM_TidyRecords", "mawk: fields to record lines", tidy_floor),
    ("open BDT, 15999 records", "BM_OpenBdtFile", "mawk: BDT lines to fields", split_floor),
    ("open TXT, 1,000,000 lines (window core)", "BM_OpenTxtMillionLines", "mawk: keep every line", lines_floor),
    ("window open, 15999 records (offscreen)", "BM_WindowOpen15999", "mawk: BDT lines to fields", split_floor),
    ("window tidy, 15999 records (offscreen)", "BM_WindowTidy15999", "mawk: fields to record lines", tidy_floor),
    # No program opens a raw file faster to compare with: the wait's goal is the floor.
    ("window open TSM, 100,000 raw records, first page (offscreen)", "BM_WindowOpenTsm100000",
     "goal: first page within 200 ms", "0.200000"),
]
for label, name, floor, floor_seconds in rows:
    if name in seconds:
        print(f"{label}\t{seconds[name]:.6f}\t{floor}\t{floor_seconds}")
    else:
        print(f"benchmark {name} did not run", file=sys.stderr)
        sys.exit(1)
PY

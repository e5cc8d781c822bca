#!/usr/bin/env bash
# The floor for lumaq-cli import and export: the same conversions done by a
# plain awk script, which checks no widths, ranges or quotes. Both sides run
# as whole processes on the same files, and their outputs are compared byte
# for byte before they are timed.
#
#   bench/formats_awk_floor.sh [--rows RUNS] [path/to/lumaq-cli]
#
# Uses hyperfine when installed (apt-get install hyperfine), else bash's time
# over 20 runs. With --rows, prints the rows of bench/run.sh's table instead:
# operation, seconds per run of lumaq-cli, the floor's name and its seconds
# per run, tab-separated, each the mean of RUNS runs.
set -euo pipefail
export LC_ALL=C

rows=0
if [[ "${1:-}" == --rows ]]; then
  rows="$2"
  shift 2
fi
cli="$(realpath "${1:-build/lumaq-cli}")"
# The floor is mawk, Debian's plain awk, where it is installed.
awk_program="$(command -v mawk || command -v awk)"
awk() { "$awk_program" "$@"; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# 20000 CASS lines of a city grid: name,code,E,N,Z with CR LF.
awk 'BEGIN {
  split("P K JD TZ", prefix, " "); split("JD FW  DL GC", code, " "); code[3] = ""
  seed = 20240607
  for (i = 0; i < 20000; i++) {
    seed = (seed * 1103515245 + 12345) % 2147483648; n = 3421000 + (seed % 2000000) / 1000
    seed = (seed * 1103515245 + 12345) % 2147483648; e = 512000 + (seed % 2000000) / 1000
    seed = (seed * 1103515245 + 12345) % 2147483648; z = 30 + (seed % 40000) / 1000
    printf "%s%d,%s,%.3f,%.3f,%.3f\r\n", prefix[i % 4 + 1], int(i / 4) + 1, code[i % 5 + 1], e, n, z
  }
}' > in.DAT

cat > import_cass.awk <<'AWK'
# CASS name,code,E,N,Z to record lines; the first 15998 lines and the last.
BEGIN { FS = "," }
{ sub(/\r$/, "") }
NR <= 15998 { printf "%-9s%-9s%-12s%-12s%-12s\r\n", $1, $2, $4, $3, $5 }
{ last = $0 }
END {
  if (NR > 15998) { split(last, f, ","); printf "%-9s%-9s%-12s%-12s%-12s\r\n", f[1], f[2], f[4], f[3], f[5] }
}
AWK

cat > import.awk <<'AWK'
# One format's lines to record lines (fmt=gts|scs2002|sv300|csv), every record.
BEGIN { FS = "," }
{ sub(/\r$/, "") }
fmt == "gts" { printf "%-9s%-9s%-12s%-12s%-12s\r\n", $1, $5, $3, $2, $4 }
fmt == "sv300" { printf "%-9s%-9s%-12s%-12s%-12s\r\n", $2, $3, $4, $5, $6 }
fmt == "csv" { gsub(/"/, ""); printf "%-9s%-9s%-12s%-12s%-12s\r\n", $1, $5, $2, $3, $4 }
# SCS2002: the count, five lines a record (name, code, N, E, Z), then E.
fmt == "scs2002" && NR > 1 {
  f[(NR - 2) % 5] = $0
  if ((NR - 2) % 5 == 4) printf "%-9s%-9s%-12s%-12s%-12s\r\n", f[0], f[1], f[2], f[3], f[4]
}
AWK

cat > export.awk <<'AWK'
# Record lines to one format (fmt=gts|scs2002|sv300|cass|csv|dxf|user).
function trim(s) { gsub(/^[ \t]+|[ \t]+$/, "", s); return s }
BEGIN { if (fmt == "dxf") printf "0\r\nSECTION\r\n2\r\nENTITIES\r\n" }
{
  sub(/\r$/, "")
  name = trim(substr($0, 1, 8)); code = trim(substr($0, 10, 8))
  n = trim(substr($0, 19, 11)); e = trim(substr($0, 31, 11)); z = trim(substr($0, 43, 11))
  if (fmt == "gts") printf "%s,%s,%s,%s,%s\r\n", name, e, n, z, code
  else if (fmt == "sv300") printf "%d,%s,%s,%s,%s,%s\r\n", NR, name, code, n, e, z
  else if (fmt == "cass") printf "%s,%s,%s,%s,%s\r\n", name, code, e, n, z
  else if (fmt == "csv") printf "\"%s\",\"%s\",\"%s\",\"%s\"%s\r\n", name, n, e, z, (code == "" ? "" : ",\"" code "\"")
  else if (fmt == "user") printf "%s,%s,%s,%s%s\r\n", name, n, e, z, (code == "" ? "" : "," code)
  else if (fmt == "dxf") printf "0\r\nPOINT\r\n8\r\npoint\r\n10\r\n%s\r\n20\r\n%s\r\n30\r\n%s\r\n0\r\nTEXT\r\n8\r\nPT#\r\n10\r\n%s\r\n20\r\n%s\r\n30\r\n%s\r\n40\r\n0.2\r\n1\r\n%s\r\n", e, n, z, e, n, z, name
  else if (fmt == "scs2002") rec[NR] = name "\r\n" code "\r\n" n "\r\n" e "\r\n" z
}
END {
  if (fmt == "dxf") printf "0\r\nENDSEC\r\n0\r\nEOF"
  if (fmt == "scs2002" && NR > 0) {
    printf "%d\r\n", NR
    for (i = 1; i < NR; i++) printf "%s\r\n", rec[i]
    printf "%s\r\nE", rec[NR]
  }
}
AWK

# The note on the records left out belongs to the timings, not to the table.
if [[ "$rows" == 0 ]]; then "$cli" import cass in.DAT JOB.BDT; else "$cli" import cass in.DAT JOB.BDT 2>/dev/null; fi
awk -f import_cass.awk in.DAT > awk.BDT
cmp -s JOB.BDT awk.BDT || { echo "import: awk and lumaq-cli differ" >&2; exit 1; }
[[ "$rows" == 0 ]] && echo "input: 20000 CASS lines; JOB.BDT holds $(wc -l < JOB.BDT) records"
for fmt in gts scs2002 sv300 cass csv dxf user; do
  "$cli" export "$fmt" JOB.BDT "out.$fmt"
  awk -v fmt="$fmt" -f export.awk JOB.BDT > "awk.$fmt"
  cmp -s "out.$fmt" "awk.$fmt" || { echo "export $fmt: awk and lumaq-cli differ" >&2; exit 1; }
done
# The exports of JOB.BDT are the inputs of the other imports.
for fmt in gts scs2002 sv300 csv; do
  "$cli" import "$fmt" "out.$fmt" OUT.BDT
  awk -v fmt="$fmt" -f import.awk "out.$fmt" > awk.BDT
  cmp -s OUT.BDT awk.BDT || { echo "import $fmt: awk and lumaq-cli differ" >&2; exit 1; }
done
if [[ "$rows" != 0 ]]; then
  # Seconds per run of a command, its output to a file, over RUNS runs.
  seconds() {
    local start end
    start=$(date +%s%N)
    # lumaq-cli's notes (records left out) are not part of the table.
    for ((run = 0; run < rows; run++)); do "$@" >"$work/timed.out" 2>/dev/null; done
    end=$(date +%s%N)
    echo "$(((end - start) / rows))" | awk '{ printf "%.6f", $1 / 1e9 }'
  }
  floor="mawk, same bytes"
  printf 'import cass, 20000 lines (lumaq-cli)\t%s\t%s\t%s\n' \
    "$(seconds "$cli" import cass in.DAT OUT.BDT)" "$floor" \
    "$(seconds awk -f import_cass.awk in.DAT)"
  for fmt in gts scs2002 sv300 cass csv dxf user; do
    printf 'export %s, 15999 records (lumaq-cli)\t%s\t%s\t%s\n' "$fmt" \
      "$(seconds "$cli" export "$fmt" JOB.BDT "out.$fmt")" "$floor" \
      "$(seconds awk -v fmt="$fmt" -f export.awk JOB.BDT)"
  done
  for fmt in gts scs2002 sv300 csv; do
    printf 'import %s, 15999 records (lumaq-cli)\t%s\t%s\t%s\n' "$fmt" \
      "$(seconds "$cli" import "$fmt" "out.$fmt" OUT.BDT)" "$floor" \
      "$(seconds awk -v fmt="$fmt" -f import.awk "out.$fmt")"
  done
  exit 0
fi
echo "outputs of awk and lumaq-cli are identical"

if command -v hyperfine >/dev/null 2>&1; then
  # Through a shell, so that awk writes a file as lumaq-cli does.
  args=(--warmup 3 --min-runs 20 --style basic)
  hyperfine "${args[@]}" -n "lumaq-cli import cass" "$cli import cass in.DAT OUT.BDT" \
    -n "awk import cass" "awk -f import_cass.awk in.DAT > awk.BDT" 2>&1 | grep -v '^ *$' || true
  for fmt in gts scs2002 sv300 cass csv dxf user; do
    hyperfine "${args[@]}" -n "lumaq-cli export $fmt" "$cli export $fmt JOB.BDT out.$fmt" \
      -n "awk export $fmt" "awk -v fmt=$fmt -f export.awk JOB.BDT > awk.$fmt" 2>&1 |
      grep -v '^ *$' || true
  done
  for fmt in gts scs2002 sv300 csv; do
    hyperfine "${args[@]}" -n "lumaq-cli import $fmt" "$cli import $fmt out.$fmt OUT.BDT" \
      -n "awk import $fmt" "awk -v fmt=$fmt -f import.awk out.$fmt > awk.BDT" 2>&1 |
      grep -v '^ *$' || true
  done
else
  timeit() {
    local label="$1"; shift
    local start end
    start=$(date +%s%N)
    for _ in $(seq 20); do "$@" >"$work/timed.out"; done
    end=$(date +%s%N)
    awk -v l="$label" -v ns="$((end - start))" 'BEGIN { printf "%-28s %8.2f ms per run\n", l, ns / 20 / 1e6 }'
  }
  timeit "lumaq-cli import cass" "$cli" import cass in.DAT OUT.BDT
  timeit "awk import cass" awk -f import_cass.awk in.DAT
  for fmt in gts scs2002 sv300 cass csv dxf user; do
    timeit "lumaq-cli export $fmt" "$cli" export "$fmt" JOB.BDT "out.$fmt"
    timeit "awk export $fmt" awk -v fmt="$fmt" -f export.awk JOB.BDT
  done
  for fmt in gts scs2002 sv300 csv; do
    timeit "lumaq-cli import $fmt" "$cli" import "$fmt" "out.$fmt" OUT.BDT
    timeit "awk import $fmt" awk -v fmt="$fmt" -f import.awk "out.$fmt"
  done
fi

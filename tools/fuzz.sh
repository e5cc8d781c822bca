#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ (with clang, in build-fuzz/) and runs
# them.
#
#   tools/fuzz.sh [TARGET|all] [SECONDS] [--runs N] [--jobs-log FILE]
#       runs one harness, or every one in turn, for SECONDS each (default 60),
#       or until N executions, whichever comes first
#   tools/fuzz.sh --smoke
#       every harness for a few seconds, as ./test.sh does: a harness that
#       does not build, or crashes at once, fails
#   tools/fuzz.sh --list
#
# Each harness starts from its seeds in fuzz/corpus/<target>/ and keeps what
# it finds in build-fuzz/corpus/<target>/ (the tree's seeds stay as they are).
# A crash leaves its input in build-fuzz/artifacts/ and makes the exit status 1.
# Prints one line per harness: executions, executions per second, crashes.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=60
runs=0
target=all
smoke=0
list=0
positional=()
while (($#)); do
  case "$1" in
    --smoke) smoke=1 ;;
    --list) list=1 ;;
    --runs)
      runs="$2"
      shift
      ;;
    -h | --help)
      sed -n '2,17p' "$0"
      exit 0
      ;;
    *) positional+=("$1") ;;
  esac
  shift
done
((${#positional[@]} > 0)) && target="${positional[0]}"
((${#positional[@]} > 1)) && seconds="${positional[1]}"
if ((smoke)); then
  seconds=2
fi

./tools/setup.sh fuzz >/dev/null

mapfile -t targets < <(find build-fuzz/fuzz -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x \
  -printf '%f\n' | sed 's/^fuzz_//' | sort)
if ((list)); then
  printf '%s\n' "${targets[@]}"
  exit 0
fi
if [[ "$target" != all ]]; then
  if [[ ! -x "build-fuzz/fuzz/fuzz_$target" ]]; then
    echo "fuzz: no harness $target (tools/fuzz.sh --list)" >&2
    exit 2
  fi
  targets=("$target")
fi

mkdir -p build-fuzz/artifacts
status=0
for name in "${targets[@]}"; do
  work="build-fuzz/corpus/$name"
  seeds="fuzz/corpus/$name"
  mkdir -p "$work" "$seeds"
  log="build-fuzz/fuzz_$name.log"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
    -artifact_prefix="build-fuzz/artifacts/$name-")
  ((runs > 0)) && options+=(-runs="$runs")
  if "build-fuzz/fuzz/fuzz_$name" "${options[@]}" "$work" "$seeds" >"$log" 2>&1; then
    result="0 crashes"
  else
    result="FAILED (see $log)"
    status=1
  fi
  executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)"
  printf 'fuzz: %-18s %12s executions %9s exec/s  %s\n' "$name" "${executions:-?}" \
    "${rate:-?}" "$result"
  if ((status)) && ((smoke)); then
    grep -E 'ERROR|SUMMARY|property does not hold|Test unit written' "$log" | head -n 20 >&2 || true
  fi
done
exit "$status"

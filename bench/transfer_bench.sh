#!/usr/bin/env bash
# Transfer throughput over a pseudo-terminal, against lumaq-cli instrument
# answering at once: receive and send by lumaq-cli and by the main window
# (offscreen, bench/ui/transfer_window.cpp), side by side in the same run with
# the floors, the program's side at its barest (floor_responder for receive,
# floor_sender for send, against the same instrument action). The send's
# processor time is also set against floor_sender starting as the program does
# (below, first_poll_ms), and against floor_sender making the program's system
# calls (--program-calls), so that what the program spends beyond them shows.
#
# The instrument keeps its time-out of 1000 ms: one much shorter repeats
# frames whose answer a loaded machine delays, and the program, which cannot
# tell a repeat from a new frame, keeps both.
#
# Each side is timed as a whole process for a short and a long job; the
# difference divided by the difference in frames is the time per frame, so
# start-up, opening the port and the pause the dialog makes after the last
# record sent drop out. Runs are interleaved and repeated; the median counts.
#
# usage: bench/transfer_bench.sh [--rows] [BUILD_DIR]
#   FRAMES (default 4000) and BASE (default 500) frames, REPEAT (default 3).
# Prints rows "operation | ours | floor | ratio", the ratio being ours/floor:
# at least 0.6 is the target for frames/s; for times per frame, lower is better.
# With --rows, the rows of bench/run.sh instead (bench/rows/transfer.sh):
# "operation<TAB>seconds per frame<TAB>floor<TAB>its seconds per frame".
set -euo pipefail

rows_only=0
if [[ "${1:-}" == --rows ]]; then
  rows_only=1
  shift
fi
build="$(cd "${1:-$(dirname "${BASH_SOURCE[0]}")/../build}" && pwd)"
frames="${FRAMES:-4000}" base="${BASE:-500}" repeat="${REPEAT:-3}"
cli="$build/lumaq-cli"
window="$build/bench/lumaq_transfer_window"
responder="$build/bench/floor_responder"
sender="$build/bench/floor_sender"
for program in "$cli" "$window" "$responder" "$sender"; do
  [[ -x "$program" ]] || { echo "transfer_bench: $program is not built" >&2; exit 1; }
done
((frames > base)) || { echo "transfer_bench: FRAMES must exceed BASE" >&2; exit 2; }
# The program's first poll goes out at its poll timer's first tick. On two
# cores the scheduler keeps the rest of a send in the pattern its start set
# (each side on a core of its own, or both moved at nearly every wake), so the
# send's floor is also measured starting as the program does.
first_poll_ms=100

work="$(mktemp -d)"
instrument_pid=""
trap '[[ -n "$instrument_pid" ]] && kill "$instrument_pid" 2>/dev/null; rm -rf "$work"' EXIT

fail() {
  echo "transfer_bench: $*" >&2
  for log in instrument program; do
    [[ -s "$work/$log.err" ]] && { echo "--- $log:" >&2; tail -5 "$work/$log.err" >&2; }
  done
  exit 1
}

for n in "$base" "$frames"; do
  for ((i = 1; i <= n; i++)); do
    printf '%-9s%-9s%-12s%-12s%-12s\r\n' "P$i" TOPO "$i.125" "-$i.500" "0.000"
  done >"$work/JOB$n.BDT"
done

# run INSTRUMENT_ACTION... -- PROGRAM ARGS... (FAR stands for the far end)
# Runs the instrument on its pseudo-terminal and the program against it;
# appends "wall cpu" seconds of the program to $work/times.
run() {
  local -a action=() program=()
  while [[ "$1" != "--" ]]; do action+=("$1"); shift; done
  shift
  coproc INSTRUMENT { exec timeout 300 "$cli" instrument --pty "${action[@]}" 2>"$work/instrument.err"; }
  instrument_pid="$INSTRUMENT_PID"
  local far
  read -r -t 10 far <&"${INSTRUMENT[0]}" || fail "no pseudo-terminal from: instrument ${action[*]}"
  for word in "$@"; do program+=("${word/#FAR/$far}"); done
  local TIMEFORMAT='%R %U %S' timing status=0
  timing="$({ time "${program[@]}" >"$work/program.out" 2>"$work/program.err"; } 2>&1)" || status=$?
  ((status == 0)) || fail "${program[*]##*/} exited $status"
  status=0
  wait "$instrument_pid" || status=$?
  instrument_pid=""
  ((status == 0)) || fail "instrument ${action[*]} exited $status"
  awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' <<<"$timing" >>"$work/times"
}

# measure NAME N INSTRUMENT_ACTION... -- PROGRAM ARGS...: one timed run, kept
# under NAME and N.
measure() {
  local name="$1" n="$2"
  shift 2
  : >"$work/times"
  run "$@"
  cat "$work/times" >>"$work/$name.$n"
}

# The receive check: what the program saved is the job the instrument sent.
expect_received() {
  cmp -s "$work/OUT.BDT" "$work/JOB$1.BDT" || fail "$2 received a different job"
}
expect_count() {
  [[ "$(tail -1 "$work/program.out")" == "$1" ]] || fail "$2 counted $(cat "$work/program.out")"
}

for ((r = 1; r <= repeat; r++)); do
  for n in "$base" "$frames"; do
    job="$work/JOB$n.BDT"
    measure receive-floor "$n" send-job "$job" -- "$responder" FAR
    expect_count "$n" floor_responder
    measure receive-cli "$n" send-job "$job" -- "$cli" receive --device FAR "$work/OUT.BDT"
    expect_received "$n" "lumaq-cli receive"
    measure receive-window "$n" send-job "$job" -- "$window" receive FAR
    expect_count "$n" "the window's receive"
    measure receive-window-at-end "$n" send-job "$job" -- "$window" receive-at-end FAR
    expect_count "$n" "the window's receive with its rows at the end"

    measure send-floor "$n" receive "$work/GOT.BDT" -- "$sender" FAR "$n"
    expect_count "$n" floor_sender
    measure send-floor-timer "$n" receive "$work/GOT.BDT" -- "$sender" FAR "$n" "$first_poll_ms"
    expect_count "$n" "floor_sender polling first after $first_poll_ms ms"
    measure send-floor-calls "$n" receive "$work/GOT.BDT" -- "$sender" --program-calls FAR "$n" "$first_poll_ms"
    expect_count "$n" "floor_sender making the program's system calls"
    measure send-cli "$n" receive "$work/GOT.BDT" -- "$cli" send --device FAR "$job"
    cmp -s "$work/GOT.BDT" "$job" || fail "the instrument got a different job from lumaq-cli send"
    measure send-window "$n" receive "$work/GOT.BDT" -- "$window" send FAR "$job"
    cmp -s "$work/GOT.BDT" "$job" || fail "the instrument got a different job from the window"
  done
done

# The window's receive shows rows as they arrive; window-at-end is the same
# receive with the rows filled only after the end byte.
sides() { [[ $1 == receive ]] && echo cli window window-at-end || echo cli window; }
side_name() {
  case "$1" in
    cli) echo lumaq-cli ;;
    window) echo window ;;
    window-at-end) echo "window, rows at the end" ;;
  esac
}

# per_frame NAME COLUMN: seconds per frame by the medians of the two sizes.
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
per_frame() {
  local long short
  long="$(cut -d' ' -f"$2" "$work/$1.$frames" | median)"
  short="$(cut -d' ' -f"$2" "$work/$1.$base" | median)"
  awk -v l="$long" -v s="$short" -v n=$((frames - base)) 'BEGIN { printf "%.9f\n", (l - s) / n }'
}

# row LABEL fps|us OURS FLOOR: seconds per frame, shown as frames per second
# or as microseconds per frame.
row() {
  awk -v label="$1" -v unit="$2" -v t="$3" -v ft="$4" 'BEGIN {
    ours = unit == "fps" ? 1 / t : t * 1e6
    floor = unit == "fps" ? 1 / ft : ft * 1e6
    printf "%-40s | %9.0f | %9.0f | %5.2f\n", label, ours, floor, ours / floor }'
}

if ((rows_only)); then
  # Wall clock and the program's CPU time per frame for both fronts;
  # frames per second in the labels.
  for direction in receive send; do
    floor="$([[ $direction == receive ]] && echo floor_responder || echo floor_sender)"
    floor_wall="$(per_frame "$direction-floor" 1)"
    for side in $(sides "$direction"); do
      name="$(side_name "$side")"
      wall="$(per_frame "$direction-$side" 1)"
      awk -v d="$direction" -v n="$name" -v f="$floor" -v t="$wall" -v ft="$floor_wall" 'BEGIN {
        printf "%s per frame, %s (%.0f frames/s)\t%.9f\t%s, %.0f frames/s\t%.9f\n",
          d, n, (t > 0 ? 1 / t : 0), t, f, (ft > 0 ? 1 / ft : 0), ft }'
    done
    floor_cpu="$(per_frame "$direction-floor" 2)"
    for side in $(sides "$direction"); do
      awk -v d="$direction" -v n="$(side_name "$side")" -v f="$floor" \
        -v t="$(per_frame "$direction-$side" 2)" -v ft="$floor_cpu" 'BEGIN {
        printf "%s CPU per frame, %s\t%.9f\t%s, its CPU\t%.9f\n", d, n, t, f, ft }'
    done
  done
  floor_cpu="$(per_frame send-floor-timer 2)"
  calls_cpu="$(per_frame send-floor-calls 2)"
  for side in $(sides send); do
    awk -v n="$(side_name "$side")" -v t="$(per_frame "send-$side" 2)" -v ft="$floor_cpu" \
      -v ct="$calls_cpu" -v ms="$first_poll_ms" 'BEGIN {
      printf "send CPU per frame, %s, floor started alike\t%.9f\tfloor_sender polling first after %d ms, its CPU\t%.9f\n",
        n, t, ms, ft
      printf "send CPU per frame, %s, floor making its calls\t%.9f\tfloor_sender --program-calls, first poll after %d ms, its CPU\t%.9f\n",
        n, t, ms, ct }'
  done
  exit 0
fi

printf '%-40s | %9s | %9s | %5s\n' "operation ($((frames - base)) frames, median of $repeat)" ours floor ratio
for direction in receive send; do
  floor_wall="$(per_frame "$direction-floor" 1)"
  floor_cpu="$(per_frame "$direction-floor" 2)"
  for side in $(sides "$direction"); do
    label="$direction, $(side_name "$side")"
    wall="$(per_frame "$direction-$side" 1)"
    cpu="$(per_frame "$direction-$side" 2)"
    row "$label: frames/s" fps "$wall" "$floor_wall"
    row "$label: us per frame" us "$wall" "$floor_wall"
    row "$label: program CPU us per frame" us "$cpu" "$floor_cpu"
    if [[ $direction == send ]]; then
      row "$label: CPU us, floor polling at ${first_poll_ms} ms" us "$cpu" \
        "$(per_frame send-floor-timer 2)"
      row "$label: CPU us, floor making its calls" us "$cpu" "$(per_frame send-floor-calls 2)"
    fi
  done
done

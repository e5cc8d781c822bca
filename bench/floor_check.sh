#!/usr/bin/env bash
# Runs lumaq-cli instrument against the two floors over pseudo-terminals, in
# both directions, and checks that every frame went through: the floors are
# fit for the transfer benchmarks to measure against.
# usage: floor_check.sh LUMAQ_CLI FLOOR_RESPONDER FLOOR_SENDER
set -euo pipefail
cli="$1" responder="$2" sender="$3"
work="$(mktemp -d)"
instrument_pid=""
# An instrument left running (a floor that failed) is stopped.
trap '[[ -n "$instrument_pid" ]] && kill "$instrument_pid" 2>/dev/null; rm -rf "$work"' EXIT
count=200

fail() {
  echo "floor_check: $*" >&2
  [[ -s "$work/errors" ]] && cat "$work/errors" >&2
  exit 1
}

# The instrument on a pseudo-terminal of its own, in the background; far is
# the path it prints first.
start_instrument() {
  coproc INSTRUMENT { exec timeout 60 "$cli" instrument --pty "$@" 2>"$work/errors"; }
  instrument_pid="$INSTRUMENT_PID"
  read -r -t 10 far <&"${INSTRUMENT[0]}" || fail "no pseudo-terminal from: instrument $*"
}

# Its exit status must be 0 once the floor has ended.
expect_instrument_done() {
  local status=0
  wait "$instrument_pid" || status=$?
  instrument_pid=""
  ((status == 0)) || fail "instrument $* exited $status"
}

for ((i = 1; i <= count; i++)); do
  printf '%-9s%-9s%-12s%-12s%-12s\r\n' "P$i" TOPO "$i.125" "-$i.5" "0.000"
done >"$work/JOB.BDT"

# The instrument sends, the responder receives.
start_instrument send-job "$work/JOB.BDT"
got="$(timeout 30 "$responder" "$far")" || fail "floor_responder failed"
expect_instrument_done send-job
[[ "$got" == "$count" ]] || fail "floor_responder counted $got frames, not $count"

# The sender sends, the instrument receives: binary, then text frames, then
# binary with the first poll after 100 ms, as the benchmark also runs it, and
# so again making the program's system calls.
line='P1       TOPO     1234.500    -12.345     0.000       '
for run in "binary 0" "text 0" "binary 100" "binary 100 --program-calls"; do
  read -r kind first_poll_ms calls <<<"$run"
  text="$([[ $kind == text ]] && echo --text || true)"
  start_instrument receive "$work/OUT.BDT" $text
  got="$(timeout 30 "$sender" $calls "$far" "$count" "$first_poll_ms")" || fail "floor_sender ($run) failed"
  expect_instrument_done receive $text
  [[ "$got" == "$count" ]] || fail "floor_sender sent $got records, not $count"
  saved="$(grep -c -xF "$line"$'\r' "$work/OUT.BDT" || true)"
  [[ "$saved" == "$count" ]] || fail "instrument receive $text saved $saved of $count records"
done
echo "floor_check: $count frames each way"

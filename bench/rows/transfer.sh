# Rows of bench/run.sh for the transfer, over pseudo-terminals against
# lumaq-cli instrument answering at once: receive and send per frame by
# lumaq-cli and by the window (offscreen), against the plain C floors
# (bench/floor_responder.c, bench/floor_sender.c) in the same run
# (bench/transfer_bench.sh); and what the receive journal costs a frame,
# against the same receive without it (bench/journal_bench.py, with the append
# alone from lumaq_bench).
set -euo pipefail
bench="$(dirname "${BASH_SOURCE[0]}")/.."
if [[ "${LUMAQ_BENCH_QUICK:-0}" == 1 ]]; then
  transfer=(FRAMES=2000 BASE=200 REPEAT=3)
  journal=(--records 500 --rounds 3 --recover-records 2000)
else
  transfer=(FRAMES=4000 BASE=500 REPEAT=5)
  journal=(--records 2000 --rounds 9 --recover-records 15999)
fi

env "${transfer[@]}" "$bench/transfer_bench.sh" --rows "$LUMAQ_BUILD"

# The append runs for the second its benchmark asks for.
append="$("$LUMAQ_BUILD/bench/lumaq_bench" --benchmark_format=json \
  --benchmark_filter='^BM_JournalFrameAccepted(/|$)' 2>/dev/null |
  python3 -c '
import json, sys
scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
b = json.load(sys.stdin)["benchmarks"][0]
print("%.9f" % (b["real_time"] * scale[b["time_unit"]]))')"
python3 "$bench/journal_bench.py" "$LUMAQ_BUILD" "${journal[@]}" --rows --append-seconds "$append"

# Rows of bench/run.sh: the plan view of a full job (15999 points) in the real
# window, offscreen: the median and the worst frame of showing the plan, of
# Show all, and of panning and zooming, against the 16 ms of a frame at 60 Hz.
set -euo pipefail
frames=200
[[ "${LUMAQ_BENCH_QUICK:-0}" == 1 ]] && frames=40
QT_QPA_PLATFORM=offscreen "$LUMAQ_BUILD/bench/lumaq_plan_bench" --frames "$frames"

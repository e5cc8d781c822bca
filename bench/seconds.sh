# Sourced by the providers of bench/rows: seconds COMMAND... runs the command
# $runs times, its output thrown away, and prints the mean wall time of one
# run in seconds.
seconds() {
  local start end
  start=$(date +%s%N)
  for ((run = 0; run < runs; run++)); do "$@" >/dev/null; done
  end=$(date +%s%N)
  awk -v ns="$((end - start))" -v n="$runs" 'BEGIN { printf "%.6f", ns / n / 1e9 }'
}

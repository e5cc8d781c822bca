# Rows of bench/run.sh: raw measurement records to text and to polar lines
# (lumaq-cli text and polar on one TSM file) against od writing the same
# bytes out as text.
set -euo pipefail
records=100000
runs=5
if [[ "${LUMAQ_BENCH_QUICK:-0}" == 1 ]]; then
  records=20000
  runs=1
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# An instrument record, then stations, backsights and distances whose link
# bytes tie about fifty records each to a station.
python3 - "$work/FIELD.TSM" "$records" <<'PY'
import random, struct, sys

random.seed(20240607)
path, count = sys.argv[1], int(sys.argv[2])
def record(kind, name, values, link):
    body = name.encode().ljust(12, b"\0") + b"".join(struct.pack(">i", v) for v in values)
    return bytes([kind]) + body.ljust(40, b"\0")[:40] + bytes([link])
out = [record(0x81, "LQT-100", [], 0)]
for i in range(1, count):
    link = random.randrange(256)
    kind = 0x03 if i % 50 == 1 else (0x06 if i % 50 == 2 else 0x01)
    out.append(record(kind, f"P{i}", [1500, random.randrange(10**6), random.randrange(10**6),
                                      random.randrange(10**5), random.randrange(10**6)], link))
open(path, "wb").write(b"".join(out))
PY

source "$(dirname "${BASH_SOURCE[0]}")/../seconds.sh"
cli="$LUMAQ_BUILD/lumaq-cli"
floor="$(seconds od -An -v -tx1 -w42 "$work/FIELD.TSM")"
printf 'raw records to text, %d records (lumaq-cli)\t%s\tod: the bytes as hex text\t%s\n' \
  "$records" "$(seconds "$cli" text "$work/FIELD.TSM" "$work/FIELD.TXT")" "$floor"
printf 'polar lines, %d records (lumaq-cli)\t%s\tod: the bytes as hex text\t%s\n' \
  "$records" "$(seconds "$cli" polar "$work/FIELD.TSM" "$work/POLAR.DAT")" "$floor"

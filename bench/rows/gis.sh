# Rows of bench/run.sh: lumaq-cli export of a full job of 15999 points to
# each GIS format (GDAL, PROJ and libxml2 through the GIS module, loaded at
# the first use), against the CSV export of the same job in the same run.
set -euo pipefail
runs=5
[[ "${LUMAQ_BENCH_QUICK:-0}" == 1 ]] && runs=1
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cli="$LUMAQ_BUILD/lumaq-cli"

# 15999 points of a city grid in Wuhan, within CGCS2000 / 3-degree
# Gauss-Kruger CM 114E (EPSG:4547).
mawk 'BEGIN {
  for (i = 0; i < 15999; i++) {
    printf "%-8s %-8s %-11.3f %-11.3f %.3f\r\n", "P" i + 1, (i % 5 ? "JD" : ""),
      3380000 + (i % 127) * 7.125, 520000 + int(i / 127) * 6.5, 20 + (i % 40) / 8
  }
}' >"$work/JOB.BDT"

source "$(dirname "${BASH_SOURCE[0]}")/../seconds.sh"
csv="$(seconds "$cli" export csv "$work/JOB.BDT" "$work/out.csv")"
for format in gpkg shp geojson kml landxml; do
  printf 'export %s, 15999 points (lumaq-cli)\t%s\tlumaq-cli export csv\t%s\n' "$format" \
    "$(seconds "$cli" export "$format" --crs EPSG:4547 "$work/JOB.BDT" "$work/out.$format")" "$csv"
done

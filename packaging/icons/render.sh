#!/usr/bin/env bash
# Renders the application icon lumaq.svg to the PNG sizes the install rules
# ship (lumaq-48.png, lumaq-128.png, lumaq-256.png). The PNGs are committed,
# so a build needs no SVG renderer; run this again after changing the SVG:
#   packaging/icons/render.sh
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

if ! command -v rsvg-convert >/dev/null 2>&1; then
  echo "render: rsvg-convert is missing (apt-get install librsvg2-bin)" >&2
  exit 1
fi
for size in 48 128 256; do
  rsvg-convert --width "$size" --height "$size" --format png lumaq.svg --output "lumaq-$size.png"
done

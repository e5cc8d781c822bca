#!/usr/bin/env bash
# Installs the build into a temporary root (cmake --install with DESTDIR, prefix
# /usr, as the Debian package lays it out) and checks what lands there: the
# exact file list, the installed lumaq-cli, the desktop entry and AppStream
# entry against their validators and against each other, the job file types
# as the desktop resolves them, the icon sizes and the manual pages.
# Usage: install_test.sh BUILD_DIR VERSION
set -euo pipefail

build_dir="$1"
version="$2"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
root="$tmp/root"
share="$root/usr/share"

# Tools that ./test.sh installs through tools/setup.sh.
for tool in desktop-file-validate appstreamcli update-mime-database gio man; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "install_test: $tool is missing (tools/setup.sh installs it)" >&2
    exit 1
  fi
done

DESTDIR="$root" cmake --install "$build_dir" --prefix /usr >"$tmp/install.log"

# --- The exact file list --------------------------------------------------
expected="$tmp/expected"
cat >"$expected" <<'EOF'
usr/bin/lumaq
usr/bin/lumaq-cli
usr/lib/lumaq/liblumaq_gis.so
usr/share/applications/lumaq.desktop
usr/share/doc/lumaq/changelog.gz
usr/share/doc/lumaq/copyright
usr/share/icons/hicolor/128x128/apps/lumaq.png
usr/share/icons/hicolor/256x256/apps/lumaq.png
usr/share/icons/hicolor/48x48/apps/lumaq.png
usr/share/icons/hicolor/scalable/apps/lumaq.svg
usr/share/man/man1/lumaq-cli.1.gz
usr/share/man/man1/lumaq.1.gz
usr/share/man/zh_CN/man1/lumaq-cli.1.gz
usr/share/man/zh_CN/man1/lumaq.1.gz
usr/share/metainfo/org.example.lumaq.metainfo.xml
usr/share/mime/packages/lumaq.xml
EOF
(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) >"$tmp/installed"
if ! diff -u "$expected" "$tmp/installed" >"$tmp/list.diff"; then
  fail "installed files differ from the expected list (- expected, + installed):"
  cat "$tmp/list.diff" >&2
fi
for program in lumaq lumaq-cli; do
  [[ -x "$root/usr/bin/$program" ]] || fail "usr/bin/$program is not executable"
done

# --- The installed lumaq-cli runs, and every version agrees ----------------
cli="$root/usr/bin/lumaq-cli"
cli_version="$("$cli" --version)" || fail "installed lumaq-cli --version exited $?"
[[ "$cli_version" == "lumaq-cli $version" ]] ||
  fail "installed lumaq-cli --version printed '$cli_version', expected 'lumaq-cli $version'"
# It loads the GIS module from the package's private library folder.
printf 'P1       TREE     3386123.456 528765.432  23.500\r\n' >"$tmp/JOB.BDT"
"$cli" export geojson --crs EPSG:4547 "$tmp/JOB.BDT" "$tmp/out.geojson" 2>"$tmp/gis.err" ||
  fail "installed lumaq-cli does not export GeoJSON: $(cat "$tmp/gis.err")"
changelog_version="$(zcat "$share/doc/lumaq/changelog.gz" | sed -n '1s/^lumaq (\([^)]*\)).*/\1/p')"
[[ "$changelog_version" == "$version" ]] ||
  fail "the changelog's newest entry is '$changelog_version', the project is $version"
metainfo="$share/metainfo/org.example.lumaq.metainfo.xml"
release_version="$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)"
[[ "$release_version" == "$version" ]] ||
  fail "the metainfo's newest release is '$release_version', the project is $version"

# --- Desktop entry and AppStream entry ---------------------------------------
desktop="$share/applications/lumaq.desktop"
# desktop-file-validate exits 0 on hints (a missing main category is one), so
# any word from it counts; of appstreamcli's, errors and warnings do.
if ! desktop-file-validate "$desktop" >"$tmp/desktop.out" 2>&1 || [[ -s "$tmp/desktop.out" ]]; then
  fail "desktop-file-validate: $(cat "$tmp/desktop.out")"
fi
if ! appstreamcli validate --no-net --pedantic "$metainfo" >"$tmp/appstream.out" 2>&1 ||
  grep -qE '^[EW]: ' "$tmp/appstream.out"; then
  fail "appstreamcli validate: $(cat "$tmp/appstream.out")"
fi

desktop_key() { sed -n "s/^$1=//p" "$desktop"; }
# label | actual | expected
while IFS='|' read -r label actual wanted; do
  [[ "$actual" == "$wanted" ]] || fail "$label: '$actual', expected '$wanted'"
done <<EOF
desktop Exec|$(desktop_key Exec)|lumaq --open %f
desktop Icon|$(desktop_key Icon)|lumaq
desktop Name|$(desktop_key Name)|Lumaq
desktop Name[zh_CN]|$(desktop_key 'Name\[zh_CN\]')|全站仪通讯软件
desktop Terminal|$(desktop_key Terminal)|false
metainfo launchable|$(sed -n 's/.*<launchable type="desktop-id">\(.*\)<.*/\1/p' "$metainfo")|lumaq.desktop
metainfo binaries|$(sed -n 's/.*<binary>\(.*\)<.*/\1/p' "$metainfo" | tr '\n' ' ')|lumaq lumaq-cli 
desktop MimeType vs mime types|$(desktop_key MimeType | tr ';' '\n' | sed '/^$/d' | sort | tr '\n' ' ')|$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$share/mime/packages/lumaq.xml" | sort | tr '\n' ' ')
metainfo mediatypes vs mime types|$(sed -n 's/.*<mediatype>\(.*\)<.*/\1/p' "$metainfo" | sort | tr '\n' ' ')|$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$share/mime/packages/lumaq.xml" | sort | tr '\n' ' ')
EOF

# --- Icons: each PNG has the size of its folder --------------------------------
for size in 48 128 256; do
  png="$share/icons/hicolor/${size}x${size}/apps/lumaq.png"
  [[ -f "$png" ]] || continue
  # Width and height are the big-endian words at bytes 16 and 20 of the header.
  read -r w3 w2 w1 w0 h3 h2 h1 h0 < <(od -An -tu1 -j16 -N8 "$png")
  width=$(((w3 << 24) | (w2 << 16) | (w1 << 8) | w0))
  height=$(((h3 << 24) | (h2 << 16) | (h1 << 8) | h0))
  [[ "$width" == "$size" && "$height" == "$size" ]] ||
    fail "${size}x${size}/apps/lumaq.png is ${width}x${height}"
done

# --- Job file types, resolved as the desktop resolves them ------------------
if ! XDG_DATA_DIRS="$share:/usr/share" update-mime-database "$share/mime" >"$tmp/mime.out" 2>&1 || [[ -s "$tmp/mime.out" ]]; then
  fail "update-mime-database: $(cat "$tmp/mime.out")"
fi
grep -qx 'application/x-lumaq-bdt text/plain' "$share/mime/subclasses" ||
  fail "application/x-lumaq-bdt is not a subclass of text/plain"

samples="$tmp/samples"
mkdir -p "$samples" "$tmp/data-home"
record_line='STA1     CODE     1000.000    2000.000    30.000      '
raw_record() { # TYPE: one 42-byte raw record of that type byte
  printf "\\x$1"
  head -c 41 /dev/zero
}
printf '%s\r\n' "$record_line" >"$samples/JOB.BDT"
cp "$samples/JOB.BDT" "$samples/job.bdt"
cp "$samples/JOB.BDT" "$samples/Job.Bdt"
raw_record 81 >"$samples/FIELD.TSM"
raw_record 01 >>"$samples/FIELD.TSM"
# The program rejects this one (its first record is not 0x81), but by its
# name it is still a measurement file to be opened with the program.
raw_record 02 >"$samples/field.tsm"
raw_record 81 >"$samples/DOWNLOAD"
# label | file | expected type
while IFS='|' read -r label file wanted; do
  actual="$(XDG_DATA_HOME="$tmp/data-home" XDG_DATA_DIRS="$share:/usr/share" \
    gio info -a standard::content-type "$samples/$file" |
    sed -n 's/^ *standard::content-type: //p')"
  [[ "$actual" == "$wanted" ]] || fail "$label ($file): type '$actual', expected '$wanted'"
done <<'EOF'
record file, upper-case extension|JOB.BDT|application/x-lumaq-bdt
record file, lower-case extension|job.bdt|application/x-lumaq-bdt
mixed-case extension, not a record file to the program|Job.Bdt|text/plain
measurement file, upper-case extension|FIELD.TSM|application/x-lumaq-tsm
measurement file by name alone, lower-case extension|field.tsm|application/x-lumaq-tsm
raw records without an extension, by the 0x81 byte|DOWNLOAD|application/x-lumaq-tsm
EOF

# --- Manual pages -------------------------------------------------------------
for page in man1/lumaq.1.gz man1/lumaq-cli.1.gz zh_CN/man1/lumaq.1.gz zh_CN/man1/lumaq-cli.1.gz; do
  source_page="$share/man/$page"
  [[ -f "$source_page" ]] || continue
  # The check Debian's lintian makes: groff must format it without a warning.
  LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
    "$source_page" >/dev/null 2>"$tmp/man.err" || fail "man $page exited $?"
  if [[ -s "$tmp/man.err" ]]; then fail "man $page warns: $(cat "$tmp/man.err")"; fi
  grep -q "Lumaq $version" < <(zcat "$source_page") || fail "$page does not give version $version"
done

# Every subcommand and format that lumaq-cli offers is in both of its pages.
help="$("$cli" --help)"
mapfile -t commands < <(sed -n 's/^  lumaq-cli \([a-z][a-z-]*\) .*/\1/p' <<<"$help")
mapfile -t formats < <(sed -n 's/.*(FORMAT: \([^)]*\)).*/\1/p' <<<"$help" | tr ',' '\n' |
  tr -d ' ' | sort -u)
((${#commands[@]} > 0)) || fail "found no subcommand in lumaq-cli --help"
for page in man1/lumaq-cli.1.gz zh_CN/man1/lumaq-cli.1.gz; do
  [[ -f "$share/man/$page" ]] || continue
  text="$(zcat "$share/man/$page")"
  for command in "${commands[@]}"; do
    grep -qE "^\.BI $command( |$)" <<<"$text" || fail "$page does not describe '$command'"
  done
  for format in "${formats[@]}"; do
    grep -qw -- "$format" <<<"$text" || fail "$page does not name format '$format'"
  done
done

if ((failures > 0)); then
  echo "install_test: $failures check(s) failed" >&2
  exit 1
fi
echo "install_test: $(wc -l <"$tmp/installed") files installed and checked"

#!/usr/bin/env bash
# Brings a Debian 12 machine to the point where Lumaq builds, then builds it.
# Called by ./lumaq.sh and ./test.sh. Quick and quiet when nothing is missing
# and nothing changed.
set -euo pipefail

# ---------------------------------------------------------------------------
# Debian packages the build, the tests and the benchmarks need.
# This is the one place to add packages.
LUMAQ_PACKAGES=(
  # build and tests
  cmake
  ninja-build
  g++
  ccache
  clang-format
  pkg-config
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  # the serial devices present, for the port list (comm/PortDiscovery)
  libudev-dev
  # the windows: Qt 6 Widgets with printing, Qt's own Chinese translation,
  # and a CJK font so Chinese never shows as boxes; its Latin letters are
  # half as wide as its Chinese characters, which lines up printed listings
  qt6-base-dev
  # the plan view exported as SVG
  qt6-svg-dev
  qt6-translations-l10n
  fonts-arphic-uming
  # the DXF test reads our files back with it
  python3-ezdxf
  # the GIS module (src/formats/gis): GDAL/OGR, PROJ and libxml2's writer;
  # its tests read our files back with ogrinfo, cs2cs and Python's lxml
  libgdal-dev
  libproj-dev
  libxml2-dev
  gdal-bin
  proj-bin
  python3-lxml
  # fuzzing (tools/fuzz.sh): clang, and its runtime libraries, which hold
  # libFuzzer (-fsanitize=fuzzer) and the sanitizers
  clang
  libclang-rt-14-dev
  # the benchmark table (bench/run.sh) compares the formats with mawk
  mawk
  # install test (tests/packaging): the desktop entry and AppStream
  # validators, the file type database and its lookup, manual page formatting
  desktop-file-utils
  appstream
  shared-mime-info
  libglib2.0-bin
  man-db
)
# ---------------------------------------------------------------------------

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Prints the packages of LUMAQ_PACKAGES that are not installed.
missing_packages() {
  local installed pkg
  # dpkg-query fails when it knows a package not at all; that package is
  # simply absent from the list.
  installed="$(dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' "${LUMAQ_PACKAGES[@]}" \
    2>/dev/null | awk '$1 == "ii" { print $2 }' || true)"
  for pkg in "${LUMAQ_PACKAGES[@]}"; do
    if ! grep -qxF -- "$pkg" <<<"$installed"; then
      echo "$pkg"
    fi
  done
}

install_packages() {
  local -a missing
  mapfile -t missing < <(missing_packages)
  if ((${#missing[@]} == 0)); then
    return 0
  fi

  local -a as_root=()
  if ((EUID != 0)); then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "setup: missing packages: ${missing[*]}" >&2
      echo "setup: not running as root and sudo is not available; install them and retry." >&2
      exit 1
    fi
    as_root=(sudo)
  fi

  echo "setup: installing ${missing[*]}"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures a build folder once and builds it (or the targets given after
# --target). Afterwards Ninja re-runs CMake by itself when a CMakeLists.txt or
# a globbed folder changes.
#   build       build/: the program, the tests and the benchmarks
#   sanitize    build-sanitize/: the same with ASan and UBSan (./test.sh --sanitize)
#   fuzz        build-fuzz/: the libFuzzer harnesses, with clang (tools/fuzz.sh)
configure_and_build() {
  local kind="${1:-build}" folder
  local -a options=(-DLUMAQ_WARNINGS_AS_ERRORS=ON) targets=() environment=()
  case "$kind" in
    build) folder=build ;;
    sanitize)
      folder=build-sanitize
      # -O1: quicker to build than -O2, and the sanitizers' usual level. The
      # benchmarks measure the plain build; built here they would only cost
      # time.
      options+=(-DLUMAQ_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g"
        "-DCMAKE_C_FLAGS_DEBUG=-O1 -g" -DLUMAQ_BUILD_BENCHMARKS=OFF)
      ;;
    fuzz)
      folder=build-fuzz
      options+=(-DLUMAQ_FUZZ=ON -DLUMAQ_BUILD_TESTS=OFF -DLUMAQ_BUILD_BENCHMARKS=OFF)
      environment=(CC=clang CXX=clang++)
      targets=(--target fuzzers)
      ;;
    *)
      echo "setup: unknown build $kind (build, sanitize or fuzz)" >&2
      return 2
      ;;
  esac
  cd "$repo_root"
  if [[ ! -f "$folder/build.ninja" ]] ||
    ! grep -qx 'LUMAQ_WARNINGS_AS_ERRORS:BOOL=ON' "$folder/CMakeCache.txt"; then
    env "${environment[@]}" cmake -S . -B "$folder" -G Ninja "${options[@]}"
  fi
  cmake --build "$folder" "${targets[@]}"
}

# tools/package.sh sources this file for install_packages alone.
# With an argument, builds that folder instead of build/ (see above).
if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
  install_packages
  configure_and_build "$@"
fi

#!/usr/bin/env bash
# Builds the Debian package of Lumaq:
#   ./tools/package.sh
# installs what is missing (as tools/setup.sh does), configures a Release build
# with Debian's hardening flags in build-package/, builds it, runs CPack, and
# leaves build/lumaq_<version>_<arch>.deb. Then checks the package with
# lintian and the desktop entry and AppStream entry inside it with
# desktop-file-validate and appstreamcli; exits 1 when any of them reports an
# error. Install the result with: sudo apt install ./build/lumaq_*.deb
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo_root"

# The build's packages, and what packaging and its checks need besides.
# shellcheck source=tools/setup.sh
source tools/setup.sh
LUMAQ_PACKAGES+=(
  dpkg-dev # dpkg-shlibdeps, dpkg-buildflags, dpkg-architecture
  file     # CPack tells executables by it
  xz-utils
  lintian
  desktop-file-utils
  appstream
)
install_packages

package_build="$repo_root/build-package"
# Debian's hardening flags, all of them, as a package built by the Debian
# tools gets them.
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
cxx_flags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
linker_flags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S . -B "$package_build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS="$cxx_flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$linker_flags" \
  -DCMAKE_MODULE_LINKER_FLAGS="$linker_flags" \
  -DLUMAQ_BUILD_TESTS=OFF \
  -DLUMAQ_BUILD_BENCHMARKS=OFF
cmake --build "$package_build" -j2

rm -rf "$package_build/cpack"
cpack --config "$package_build/CPackConfig.cmake" -G DEB -B "$package_build/cpack"

version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$package_build/CPackConfig.cmake")"
deb_name="lumaq_${version}_$(dpkg-architecture -qDEB_HOST_ARCH).deb"
if [[ ! -f "$package_build/cpack/$deb_name" ]]; then
  echo "package: CPack did not make $deb_name; it made:" >&2
  ls "$package_build/cpack" >&2
  exit 1
fi
mkdir -p build
deb="build/$deb_name"
cp "$package_build/cpack/$deb_name" "$deb"
echo "package: $deb"

status=0
echo "package: lintian"
# Every tag is shown (warnings, infos and pedantic ones too); errors fail.
if ! lintian --display-info --pedantic --fail-on error "$deb"; then
  echo "package: lintian reports errors" >&2
  status=1
fi

# The files as the package installs them.
contents="$(mktemp -d)"
trap 'rm -rf "$contents"' EXIT
dpkg-deb --extract "$deb" "$contents"
echo "package: desktop-file-validate"
if ! desktop-file-validate "$contents/usr/share/applications/lumaq.desktop"; then
  status=1
fi
echo "package: appstreamcli validate"
if ! appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml; then
  status=1
fi

if ((status != 0)); then
  echo "package: $deb has errors (see above)" >&2
fi
exit "$status"

#!/usr/bin/env bash
# Builds dist/tollvane_<version>_amd64.deb from a Release build in build-package/, with Debian's
# hardening flags, and checks it with lintian (which must report no error).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLLVANE_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build build-package
rm -rf build-package/cpack
(cd build-package && cpack -B cpack)
mkdir -p dist
deb=$(ls build-package/cpack/tollvane_*_amd64.deb)
mv "$deb" dist/
deb="dist/$(basename "$deb")"
echo "Package: $deb ($(stat -c %s "$deb") bytes)"
# lintian refuses to be run as root without saying so; errors fail the build.
lintian --allow-root --fail-on error --info "$deb"

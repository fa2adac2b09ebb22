#!/usr/bin/env bash
# Builds the Debian package, then builds with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test (one of them unpacks the package and runs it).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh test
if command -v clang-format >/dev/null; then
    git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
fi
./scripts/package.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOLLVANE_SANITIZE=ON -DTOLLVANE_FUZZ=ON
cmake --build build-test
cd build-test
TOLLVANE_REQUIRE_PACKAGE=1 ctest --output-on-failure -j2 --timeout 300

#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
if command -v clang-format >/dev/null; then
    git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
fi
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOLLVANE_SANITIZE=ON -DTOLLVANE_FUZZ=ON
cmake --build build-test
cd build-test
ctest --output-on-failure -j2 --timeout 300

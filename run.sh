#!/usr/bin/env bash
# Builds the program folder build/Tollvane/ and starts the program on it.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLLVANE_TESTS=OFF
cmake --build build
exec build/Tollvane/tollvane

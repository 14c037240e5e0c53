#!/usr/bin/env bash
# Sets up, builds with AddressSanitizer and UndefinedBehaviorSanitizer, runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DZUVO_SANITIZE=ON >/dev/null
cmake --build build/asan -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
cd build/asan
ctest --output-on-failure -j"$(nproc)"

#!/usr/bin/env bash
# Installs what is missing, builds the show with warnings as errors, runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -DSHOW_WERROR=ON
cmake --build build -j"$(nproc)"
cd build && ctest --output-on-failure -j"$(nproc)"

#!/usr/bin/env bash
# Installs what is missing, builds the show and runs it in its media folder.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build
cmake --build build -j"$(nproc)"
cd build/media && exec ../src/shell/show

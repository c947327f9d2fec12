#!/usr/bin/env bash
# Installs what is missing, builds the show and runs it in its media folder.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build
# The show and its media only: the tests, tools and the other systems' builds wait for the test command.
cmake --build build -j"$(nproc)" --target show media
cd build/media && exec ../src/shell/show

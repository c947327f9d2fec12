#!/usr/bin/env bash
# Installs what the show alone needs (deps.sh's group run), builds it and runs
# it in its media folder.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh run
# The show and its media only: the tests, tools and the other systems' builds
# (and their packages) wait for the test command.
cmake -S . -B build -DBUILD_TESTING=OFF
cmake --build build -j"$(nproc)" --target show media
cd build/media && exec ../src/shell/show

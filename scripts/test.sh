#!/usr/bin/env bash
# Installs what is missing, builds the show with warnings as errors, and runs
# every test: the file readers once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
jobs=$(nproc)

# The readers take files from anyone: their tests, with every malformed file
# they build, run under the sanitizers.
readers=(tests/models/models_tests tests/fuzz/fuzz_regression_tests tests/textures/textures_tests
         tests/inspect-media/inspect_media_tests)
cmake -S . -B build-asan -DSHOW_SANITIZE=ON -DSHOW_WERROR=ON
cmake --build build-asan -j"$jobs" --target "${readers[@]##*/}"
for test in "${readers[@]}"; do
  echo "== sanitizers: $test"
  (cd build-asan && "./$test" --gtest_brief=1)
done

cmake -S . -B build -DSHOW_WERROR=ON -DBUILD_TESTING=ON  # the run command configures without the tests
cmake --build build -j"$jobs"
cd build && ctest --output-on-failure -j"$jobs"

#!/usr/bin/env bash
# Installs what is missing, builds, generates the data folder and runs every test under its own Xvfb.
# A second build with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/) runs a one-minute
# soak of random input as one of the tests (label soak); a third, with ThreadSanitizer (build-tsan/),
# builds only the unit tests that start threads, run as tests of their own (label tsan).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps
# A compiler cache, where the machine has one, makes a repeated run quick.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD"  # paths inside the clone are hashed relative to it: any clone shares the cache
fi
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIPKIN_SANITIZE=ON -DPIPKIN_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build build-asan -j"$(nproc)" --target pipkin data soak_drive
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIPKIN_TSAN=ON -DPIPKIN_TSAN_DATA_DIR="$PWD/build/data" \
  "${launcher[@]}" >/dev/null
cmake --build build-tsan -j"$(nproc)" --target unit_threads
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIPKIN_SOAK_BUILD="$PWD/build-asan" \
  -DPIPKIN_TSAN_BUILD="$PWD/build-tsan" "${launcher[@]}" >/dev/null
cmake --build build -j"$(nproc)"
export SDL_AUDIODRIVER=dummy
./scripts/with-xvfb ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 300

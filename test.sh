#!/usr/bin/env bash
# Installs what is missing, builds, generates the data folder and runs every test under its own Xvfb.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
export SDL_AUDIODRIVER=dummy
./scripts/with-xvfb ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 300

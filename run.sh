#!/usr/bin/env bash
# Installs what is missing, builds, generates the data folder and starts Pipkin.
# With no display, runs Pipkin under Xvfb, tours the title screen and the nine activities and
# writes one screenshot per screen into screenshots/.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target pipkin data tour
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec ./build/pipkin
fi
echo "run.sh: no display; touring Pipkin under Xvfb, screenshots go to screenshots/"
export SDL_AUDIODRIVER=dummy
./scripts/with-xvfb ./build/tests/tour screenshots

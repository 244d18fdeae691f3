#!/usr/bin/env bash
# Sets up like scripts/run.sh, then runs every test: all of them on the normal build, the core
# tests once more on a build with AddressSanitizer and UndefinedBehaviorSanitizer, and the
# checks of scripts/lint.sh.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh" "$here/build"

export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu"
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi

# Tests labelled "display" need an X server; the rest run offscreen.
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir "$here/build" --output-on-failure --timeout 600

sanitized="$here/build-sanitize"
cmake -S "$here" -B "$sanitized" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFEYLUME_SANITIZE=ON -DFEYLUME_BUILD_BENCH=OFF
cmake --build "$sanitized" --target feylume_core_tests
ctest --test-dir "$sanitized" --output-on-failure -L core

"$here/scripts/lint.sh" "$here/build"

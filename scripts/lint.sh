#!/usr/bin/env bash
# Runs the checks in .clang-tidy on every source file of the program and its tools (the tests
# and benchmarks are left out to keep the run short), and refuses in any folder an include that
# climbs out of it ("../"), which the layers' include roots cannot stop, and a feature of the main
# window that includes the window itself: each is handed what it works on instead.
# Usage: scripts/lint.sh [build-dir], a build with compile_commands.json.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$here/build}"

if grep -rn --include='*.h' --include='*.cpp' '#include "\.\./' \
    "$here"/{base,store,text,widgets,dbctrls,xplook,dialogs,main,pageengine,app,tools,tests,bench}; then
    echo "An include above climbs out of its folder; name the layer instead (\"store/query.h\")." >&2
    exit 1
fi

if grep -ln '#include "form1.h"' "$here"/main/*.h "$here"/main/*.cpp | grep -v '/form1\.cpp$'; then
    echo "Only the window includes form1.h; hand the feature the controls and services it uses." >&2
    exit 1
fi

# The build's flags are GCC's: clang warns differently, and its warnings are not findings.
run-clang-tidy -quiet -p "$build" -j "$(nproc)" \
    -extra-arg=-Wno-error -extra-arg=-Wno-unknown-warning-option \
    "^$here/(base|store|text|widgets|dbctrls|xplook|dialogs|main|pageengine|app|tools)/"

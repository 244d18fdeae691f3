#!/usr/bin/env bash
# Sets up (installs, builds, makes the sample library if there is none) and starts Feylume.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Running needs only the program and the library maker; the tests and benchmarks are left to
# scripts/test.sh.
"$here/scripts/setup.sh" "$here/build" feylume feylume-mklib
exec "$here/build/feylume" "$@"

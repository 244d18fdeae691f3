#!/usr/bin/env bash
# Sets up (installs, builds, makes the sample library if there is none) and starts Feylume.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh" "$here/build"
exec "$here/build/feylume" "$@"

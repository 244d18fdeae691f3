#!/usr/bin/env bash
# Installs what the build and the tests need (Debian packages), then configures and builds.
# Usage: scripts/setup.sh [build-dir] [target...]
# With targets, only those are built (the program and the library maker are enough to run it);
# without, everything: tests and benchmarks too.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$here/build}"
shift || true
targets=("$@")

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-qpa-plugins libgl-dev
    qt6-base-private-dev # the engine module readies its window for the engine's view
    libsqlite3-dev
    fonts-wqy-microhei # the Chinese texts need a CJK font to fall back to
    fonts-noto-cjk # the code editor's face, whose Chinese stands on two Latin columns
    xvfb xauth # the web view tests need a display
    openbox # the preview test keeps a window maximized under a window manager
    xdotool # the recovery test types into the running program
    desktop-file-utils appstream # the install test validates the menu entry and AppStream data
    clang-tidy # scripts/lint.sh, which the tests' script runs
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
if ((${#targets[@]})); then
    cmake --build "$build" --target "${targets[@]}"
else
    cmake --build "$build"
fi
# The sample library goes beside the program when there is none; an existing one is kept.
"$build/tools/feylume-mklib" --if-missing "$build/data/qvlb.db" "$here/tools/samples/library.json"

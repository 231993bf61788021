#!/usr/bin/env bash
# Installs what is missing on Debian 12, builds into build/ and then either
# starts the editor (run, the default) or runs every test (test).
#   bash scripts/setup.sh run [file.md]
#   bash scripts/setup.sh test
set -euo pipefail

mode=${1:-run}
[ $# -gt 0 ] && shift
cd "$(dirname "$0")/.."

packages=(cmake g++ make pkg-config
          qtbase5-dev qtwebengine5-dev libqt5webchannel5-dev qttools5-dev qttools5-dev-tools
          libmd4c-dev libmd4c-html0-dev libkf5archive-dev libjs-codemirror fonts-font-awesome fonts-wqy-microhei
          libjs-katex fonts-katex
          desktop-file-utils appstream
          xvfb xauth)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
# The page themes and mermaid come from the npm registry; any npm will do.
command -v npm >/dev/null 2>&1 || missing+=(npm)

if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

# Qt WebEngine refuses to start its sandbox as root.
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1

case "$mode" in
run)
    exec ./build/veltrane "$@"
    ;;
test)
    cd build
    exec xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure
    ;;
*)
    echo "usage: $0 [run [file.md] | test]" >&2
    exit 2
    ;;
esac

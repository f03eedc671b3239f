#!/usr/bin/env bash
# Builds Quillpad and runs it or its tests. Installs what is missing with apt.
#   ./quillpad.sh run    build, then start Quillpad under Wine with the demo setup
#   ./quillpad.sh test   build, then run every unit and end-to-end test
#   ./quillpad.sh package  build the release quillpad.exe and the Windows package (build/dist)
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake g++ libgtest-dev g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 xvfb xdotool
          pulseaudio pulseaudio-utils sox lame imagemagick x11-utils python3 clang-format-14
          clang-14 libclang-rt-14-dev libstb-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

build() {
    cmake --preset native >/dev/null
    cmake --build --preset native -j"$(nproc)"
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j"$(nproc)"
}

# Wine sees the Linux file system as drive Z:.
wine_path() { echo "Z:$(realpath "$1" | tr / '\\')"; }

# The package's own demo kit: its setup stores a folder that is not here, and
# the Sounds folder beside it is loaded, as wherever a player unzips it.
make_demo() {
    python3 tools/make_package.py demo-kit build/demo >/dev/null
}

package_file() { echo "build/dist/quillpad-$(head -n 1 VERSION)-win64.zip"; }

# Prints the zip's SHA-256.
package() {
    cmake --preset native >/dev/null
    cmake --build --preset native -j"$(nproc)" --target make_sounds make_demo_setup
    cmake --preset release >/dev/null
    cmake --build --preset release -j"$(nproc)"
    python3 tools/make_package.py package --exe build/release/quillpad.exe --out build/dist
}

run() {
    if [ -z "${DISPLAY:-}" ]; then
        echo "Quillpad needs a graphical desktop: DISPLAY is not set." >&2
        echo "Run this from a desktop session, or for a virtual one: xvfb-run -s '-screen 0 1024x768x24' $0 run" >&2
        exit 1
    fi
    make_demo
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d" WINEDEBUG=-all
    # Wine passes a path holding blanks in double quotes, as Windows does, and
    # Quillpad opens the path between them.
    exec wine build/windows/quillpad.exe "$(wine_path "build/demo/Demo Kit/Demo.qpd")"
}

# All C++ follows the root .clang-format; a file that does not fails the run.
check_format() {
    find shell flows midi panel edit setup library keys recording audio sound_files base resources tests tools \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0 |
        xargs -0 -r clang-format-14 --dry-run --Werror --style=file
}

run_tests() {
    check_format
    python3 tools/include_layers.py
    ctest --preset native -j"$(nproc)"
    # The same suite under ThreadSanitizer: the live path's threads (docs/robustness.md).
    cmake --preset tsan >/dev/null
    cmake --build --preset tsan -j"$(nproc)"
    ctest --preset tsan -j"$(nproc)"
    tools/fuzz.sh 30
    # The package as far as it is quick; its proof of reproducibility is
    # tools/prove_reproducible.sh.
    package
    python3 -m zipfile -l "$(package_file)"
    python3 tests/e2e/run.py --exe build/windows/quillpad.exe --make-sounds build/native/tools/make_sounds \
        --package "$(package_file)"
}

case "${1:-}" in
run) install_missing; build; run ;;
test) install_missing; build; run_tests ;;
package) install_missing; package ;;
*) echo "usage: $0 run|test|package" >&2; exit 2 ;;
esac

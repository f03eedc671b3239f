#!/usr/bin/env bash
# Builds Quillpad and runs it or its tests. Installs what is missing with apt.
#   ./quillpad.sh run    build, then start Quillpad under Wine with the demo setup
#   ./quillpad.sh test   build, then run every unit and end-to-end test
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake g++ libgtest-dev g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 xvfb xdotool
          pulseaudio pulseaudio-utils sox imagemagick x11-utils python3 clang-format-14
          clang-14 libclang-rt-14-dev)

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

make_demo() {
    local demo=build/demo
    rm -rf "$demo" && mkdir -p "$demo/sounds"
    build/native/tools/make_sounds demo "$demo/sounds" >/dev/null
    build/native/tools/make_demo_setup "$demo/Demo.qpd" "$(wine_path "$demo/sounds")"
}

run() {
    if [ -z "${DISPLAY:-}" ]; then
        echo "Quillpad needs a graphical desktop: DISPLAY is not set." >&2
        echo "Run this from a desktop session, or for a virtual one: xvfb-run -s '-screen 0 1024x768x24' $0 run" >&2
        exit 1
    fi
    make_demo
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d" WINEDEBUG=-all
    exec wine build/windows/quillpad.exe "$(wine_path build/demo/Demo.qpd)"
}

# All C++ follows the root .clang-format; a file that does not fails the run.
check_format() {
    find app keys audio library setup panel edit tests tools \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0 |
        xargs -0 -r clang-format-14 --dry-run --Werror --style=file
}

run_tests() {
    check_format
    ctest --preset native -j"$(nproc)"
    tools/fuzz.sh 30
    python3 tests/e2e/run.py --exe build/windows/quillpad.exe --make-sounds build/native/tools/make_sounds
}

case "${1:-}" in
run) install_missing; build; run ;;
test) install_missing; build; run_tests ;;
*) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

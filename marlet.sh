#!/usr/bin/env bash
# Marlet's commands:
#   ./marlet.sh demo     set up this machine, build, install marlet.so into ~/.vst and render a demo
#   ./marlet.sh test     set up this machine and run every test (plain, ASan+UBSan, TSan, the
#                        Windows build under Wine unless MARLET_SKIP_WINDOWS=1, fuzz smoke)
#   ./marlet.sh windows  install the MinGW-w64 cross toolchain and Wine, build build/windows/marlet.dll
set -euo pipefail
cd "$(dirname "$0")"

packages=(build-essential cmake ninja-build pkg-config googletest libgtest-dev libgmock-dev
          libbenchmark-dev libsndfile1-dev libgig-dev dpf-plugins-vst clang libclang-rt-dev binutils
          libfreetype-dev libstb-dev libxcb1-dev libxcb-xtest0-dev xvfb xauth)

# The Windows cross build: MinGW-w64 with posix threads (std::thread), stb's PNG decoder (its
# header alone is copied into the build), and Wine to run the results.
windows_packages=(cmake ninja-build g++-mingw-w64-x86-64-posix libstb-dev wine wine64)

install_missing() {  # install_missing [apt-get option...] <package>...
    local missing=() options=()
    while [[ "${1:-}" == -* ]]; do options+=("$1"); shift; done
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if ((${#missing[@]})); then
        echo "== installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${options[@]}" "${missing[@]}"
    fi
}

setup() {
    install_missing "${packages[@]}"
}

jobs=$(nproc 2>/dev/null || echo 2)

build() {  # build <preset>
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1" -j"$jobs"
}

demo() {
    setup
    build default
    mkdir -p "$HOME/.vst"
    install -m 0755 build/default/marlet.so "$HOME/.vst/marlet.so"
    echo "== installed $HOME/.vst/marlet.so"
    local tools=build/default/tools
    local folder="$PWD/demo"
    "$tools/marlet-host/marlet-host" info "$HOME/.vst/marlet.so" | head -n 9
    # A bank synthesised by our own .gig writer, a performance that plays it on two tones, and
    # a phrase rendered through the installed plug-in the way a host would play it.
    "$tools/marlet-demo/marlet-demo" "$folder" >/dev/null
    local perf="$tools/marlet-perf/marlet-perf"
    "$perf" new "$folder/demo.mrp"
    "$perf" set "$folder/demo.mrp" --tone 0 --gig "$folder/demo.gig" --program 0 --channel 0 --bus 0
    "$perf" set "$folder/demo.mrp" --tone 1 --gig "$folder/demo.gig" --program 1 --channel 1 --bus 0
    "$perf" add-layer "$folder/demo.mrp" --tone 1 --gig "$folder/demo.gig" --program 2 --keys 36-47
    "$perf" show "$folder/demo.mrp"
    "$tools/marlet-host/marlet-host" render "$HOME/.vst/marlet.so" --chunk "$folder/demo.mrp" \
        --midi "$folder/demo.mid" --bus 0 --tail 2 --out demo.wav
    echo "== plug-in: $HOME/.vst/marlet.so"
    echo "== rendered: $PWD/demo.wav"
}

windows() {
    # Wine's recommendations (sound, video and 32-bit support) serve nothing here.
    install_missing --no-install-recommends "${windows_packages[@]}"
    build windows
    echo "== plug-in: $PWD/build/windows/marlet.dll"
}

# The Windows build's suites and its smoke test against the Linux build, all under Wine.
windows_tests() {
    windows
    ctest --preset windows -j"$jobs"
}

run_tests() {
    setup
    echo "== default build"
    build default
    ctest --preset default -j"$jobs"
    echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
    build asan-ubsan
    ctest --preset asan-ubsan -j"$jobs"
    echo "== ThreadSanitizer (threading tests)"
    build tsan
    ctest --preset tsan
    if [ "${MARLET_SKIP_WINDOWS:-0}" = 1 ]; then
        echo "== Windows build skipped (MARLET_SKIP_WINDOWS=1)"
    else
        echo "== Windows build under Wine"
        windows_tests
    fi
    if [ -x fuzz/run.sh ]; then
        echo "== fuzz smoke run"
        fuzz/run.sh "${MARLET_FUZZ_SECONDS:-20}"
    fi
    echo "== all tests passed"
}

case "${1:-}" in
    demo) demo ;;
    test) run_tests ;;
    windows) windows ;;
    *) echo "usage: $0 demo|test|windows" >&2; exit 2 ;;
esac

#!/usr/bin/env bash
# Sets up a Debian 12 machine for Penvoro, builds it, and starts it or runs its tests.
#   ./penvoro.sh start      install what is missing, build, start the program
#   ./penvoro.sh test       install what is missing, build, run every test (offscreen)
#   ./penvoro.sh sanitize   the same tests built with AddressSanitizer and UBSan
#   ./penvoro.sh fuzz       run each libFuzzer target for a minute (clang, ASan, UBSan)
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-charts-dev libqt6opengl6-dev
    libxkbcommon-dev libxcb1-dev qt6-qpa-plugins libjpeg62-turbo-dev fonts-texgyre fonts-urw-base35)
case "${1:-}" in
    test | sanitize)
        packages+=(xvfb xauth xdotool x11-utils openbox python3 cups printer-driver-cups-pdf
            poppler-utils btrfs-progs)
        ;;
    fuzz) packages+=(clang-14 libclang-rt-14-dev) ;;
esac

install_missing() {
    local missing=()
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local line="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Penvoro needs these Debian packages. Run as root:" >&2
        echo "  $line" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() { # build-folder target cmake-options...
    local folder=$1 target=$2
    shift 2
    cmake -S . -B "$folder" -G Ninja "$@" >/dev/null
    cmake --build "$folder" --parallel --target "$target"
}

# Runs one libFuzzer target for a minute on a copy of its committed corpus, so that corpus
# stays as it is. A crash or a broken property leaves the input in build-fuzz/artifacts/.
fuzz_target() { # name (fuzz_<name>, corpus tests/fuzz/corpus/<name>)
    local name=$1 scratch artifacts log status=0
    scratch=$(mktemp -d)
    artifacts=$PWD/build-fuzz/artifacts/$name
    log=$PWD/build-fuzz/fuzz_$name.log
    mkdir -p "$artifacts"
    cp -r "tests/fuzz/corpus/$name" "$scratch/corpus"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
        "build-fuzz/tests/fuzz/fuzz_$name" -max_total_time=60 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$artifacts/" -print_final_stats=1 "$scratch/corpus" >"$log" 2>&1 ||
        status=$?
    local runs inputs
    runs=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\1 runs in \2 s/p' "$log")
    inputs=$(find "$scratch/corpus" -type f | wc -l)
    rm -rf "$scratch"
    if [ "$status" -eq 0 ]; then
        echo "fuzz_$name: ok, ${runs:-? runs}, corpus $(find "tests/fuzz/corpus/$name" -type f |
            wc -l) -> $inputs inputs"
        return 0
    fi
    local reason input
    reason=$(grep -m1 -E '\*\*\* broken property|ERROR: (libFuzzer|AddressSanitizer|LeakSanitizer)|runtime error' "$log" ||
        echo "exit status $status")
    input=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
    echo "fuzz_$name: FAILED: ${reason#"*** "}; input ${input:-in $artifacts}, log $log"
    return 1
}

case "${1:-}" in
    start)
        install_missing
        build build-release Penvoro -DCMAKE_BUILD_TYPE=Release
        exec build-release/Penvoro
        ;;
    test)
        install_missing
        build build all -DCMAKE_BUILD_TYPE=RelWithDebInfo
        cd build && ctest --output-on-failure --parallel "$(nproc)"
        ;;
    sanitize)
        install_missing
        build build-sanitize all -DCMAKE_BUILD_TYPE=Debug -DPENVORO_SANITIZE=ON
        cd build-sanitize && ctest --output-on-failure --parallel "$(nproc)"
        ;;
    fuzz)
        install_missing
        cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=Debug \
            -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DPENVORO_FUZZ=ON >/dev/null
        cmake --build build-fuzz --parallel --target fuzz_budgetfile fuzz_numbertext
        failed=0
        fuzz_target budgetfile || failed=1
        fuzz_target numbertext || failed=1
        exit "$failed"
        ;;
    *)
        sed -n '2,6p' "$0"
        exit 2
        ;;
esac

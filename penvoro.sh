#!/usr/bin/env bash
# Sets up a Debian 12 machine for Penvoro, builds it, and starts it or runs its tests.
#   ./penvoro.sh start      install what is missing, build, start the program
#   ./penvoro.sh test       install what is missing, build, run every test (offscreen)
#   ./penvoro.sh sanitize   the same tests built with AddressSanitizer and UBSan
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-charts-dev libqt6opengl6-dev
    libxkbcommon-dev qt6-qpa-plugins libjpeg62-turbo-dev fonts-texgyre fonts-urw-base35)
case "${1:-}" in
    test | sanitize) packages+=(xvfb xauth xdotool clang-14 libclang-rt-14-dev) ;;
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

build() { # build-folder cmake-options...
    local folder=$1
    shift
    cmake -S . -B "$folder" -G Ninja "$@" >/dev/null
    cmake --build "$folder" --parallel
}

case "${1:-}" in
    start)
        install_missing
        build build-release -DCMAKE_BUILD_TYPE=Release
        exec build-release/Penvoro
        ;;
    test)
        install_missing
        build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
        cd build && ctest --output-on-failure --parallel "$(nproc)"
        ;;
    sanitize)
        install_missing
        build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DPENVORO_SANITIZE=ON
        cd build-sanitize && ctest --output-on-failure --parallel "$(nproc)"
        ;;
    *)
        sed -n '2,5p' "$0"
        exit 2
        ;;
esac

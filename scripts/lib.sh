# Shared by the scripts: Debian packages and the builds.
# shellcheck shell=bash

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"

# desktop-file-utils, appstream and dpkg-dev check the installed desktop entry and metainfo and
# build the Debian package; qt6-wayland and weston run the telephone under a Wayland compositor;
# libqt6sql6-sqlite is Qt SQL's SQLite driver, a plugin, for the call history.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev qt6-svg-dev
                qt6-base-dev-tools fonts-comic-neue fonts-urw-base35 fonts-dejavu-core
                desktop-file-utils appstream dpkg-dev dbus-daemon qt6-wayland weston libqt6sql6-sqlite)
# The fuzz targets: Clang with libFuzzer and the sanitizers' runtimes.
FUZZ_PACKAGES=(clang-14 libfuzzer-14-dev libclang-rt-14-dev)
FORMAT_PACKAGES=(clang-format)

# Installs the Debian packages named in the arguments when any is missing: as root with apt-get,
# otherwise it prints the one apt-get line to run and stops.
ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    else
        echo "Brisvane needs these Debian packages. Install them with:"
        echo "  sudo apt-get install -y ${missing[*]}"
        exit 1
    fi
}

# Configures (once) and builds everything into the folder given first, with the CMake options
# that follow.
build_in() {
    local folder="$1"
    shift
    cmake -S "$ROOT" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$folder" --parallel "$(nproc)"
}

# Configures (once) and builds everything into build/.
build_all() {
    build_in "$BUILD" "$@"
}

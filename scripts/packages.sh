# shellcheck shell=bash
# Installs the Debian packages named in the arguments that are not installed yet.
# Sourced by the other scripts.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
    fi
}

# shellcheck disable=SC2034 # read by the scripts that source this file
BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
                qt6-base-dev qt6-multimedia-dev libgl-dev fonts-dejavu-core fonts-liberation2 xz-utils
                liblzma-dev zlib1g-dev)

# The Windows cross build and its runs under Wine.
# shellcheck disable=SC2034
WINDOWS_BUILD_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine wine64 xvfb
                        xauth ccache zip)

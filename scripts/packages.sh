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
                liblzma-dev zlib1g-dev libsndfile1-dev libzip-dev libhowardhinnant-date-dev tzdata)
# The audible-alert test: a private sound server, its recorder, and a tone maker.
# shellcheck disable=SC2034
TEST_PACKAGES=(pulseaudio pulseaudio-utils sox)
# What scripts/bench needs beside the build: the numpy speed peer and GNU time.
BENCH_PACKAGES=(python3 python3-numpy time bc)
# scripts/fuzz: clang with libFuzzer and the sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# scripts/soak: a virtual display and a way to click in it.
SOAK_PACKAGES=(xvfb xauth xdotool)

# Only for the test that opens the replay's HTML report in a real browser.
# Large, so scripts/test installs it where missing and the test is skipped,
# with a message, where it cannot be installed.
BROWSER_TEST_PACKAGES=(chromium)

# What scripts/demo needs to show the program: the toolkit's display plugins
# (only recommended by the Qt packages), and on a machine without a display a
# virtual X server.
# shellcheck disable=SC2034
DEMO_PACKAGES=(qt6-qpa-plugins)
# shellcheck disable=SC2034
DEMO_HEADLESS_PACKAGES=(xvfb xauth)

# The Windows cross build and its runs under Wine.
# shellcheck disable=SC2034
WINDOWS_BUILD_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine wine64 xvfb
                        xauth ccache zip)

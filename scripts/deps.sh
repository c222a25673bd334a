#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Sourced by scripts/run and scripts/test.
TOVALINE_PACKAGES=(
    build-essential cmake ninja-build pkg-config ccache
    qt6-base-dev libgl-dev libpugixml-dev
    libavcodec-dev libavformat-dev libswresample-dev libavutil-dev
    libpulse-dev libxcb1-dev libx11-dev
    googletest libgtest-dev libgmock-dev
    pulseaudio pulseaudio-utils lame vorbis-tools sox ffmpeg sndfile-programs
    xvfb xdotool x11-utils dbus-daemon fonts-dejavu-core at-spi2-core
    desktop-file-utils appstream dpkg-dev
    pipewire pipewire-pulse wireplumber pipewire-bin
    libglib2.0-dev gnome-settings-daemon-common
)

tovaline_install_deps() {
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    local missing=()
    local p
    for p in "${TOVALINE_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

tovaline_configure_build() {
    # $1 build folder, rest: extra cmake arguments
    local dir="$1"
    shift
    cmake -S "$TOVALINE_ROOT" -B "$dir" -G Ninja "$@"
    cmake --build "$dir" -j "$(nproc)"
}

#!/usr/bin/env bash
# Installs the Debian packages (Debian 12) that a purpose needs, those missing only:
#   deps.sh run      building the program and running it
#   deps.sh package  the above and making the Debian package
#   deps.sh test     all of the above and every test tool
set -euo pipefail
run=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev libqt6sql6-sqlite qt6-qpa-plugins libqt6svg6 qt6-translations-l10n
    libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
    gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-pulseaudio gstreamer1.0-alsa
    timgm6mb-soundfont
    libasound2-dev libfluidsynth-dev
    fonts-dseg fonts-wqy-microhei
)
package=(dpkg-dev file lintian)
test=(
    googletest libgtest-dev
    xvfb xauth clang-format clang libclang-rt-14-dev
    trayer xdotool x11-utils python3-xlib
    desktop-file-utils libglib2.0-bin systemd
    pulseaudio pulseaudio-utils libasound2-plugins sox
)
case "${1:-}" in
run) packages=("${run[@]}") ;;
package) packages=("${run[@]}" "${package[@]}") ;;
test) packages=("${run[@]}" "${package[@]}" "${test[@]}") ;;
*)
    echo "usage: $0 run|package|test" >&2
    exit 2
    ;;
esac
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -q
    $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

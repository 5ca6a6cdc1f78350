#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need. Quick when
# everything is already there: apt is only called for missing packages.
# With --windows: the Windows cross build's compilers, libraries and Wine.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev lld
  zlib1g-dev nlohmann-json3-dev libstb-dev fonts-dejavu-core
  libsdl2-dev libegl-dev libgl-dev libegl-mesa0 libgl1-mesa-dri libx11-dev libdbus-1-dev dbus-daemon dbus-bin
  xvfb xdotool x11-apps imagemagick fonts-dejavu-core
  libturbojpeg0-dev libmpg123-dev
  lame sox alsa-utils python-pygame-doc
  libgtest-dev libgmock-dev libbenchmark-dev libsquish-dev nsis-common
  libgtk-3-dev desktop-file-utils xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-utils
  at-spi2-core python3-pyatspi
  libassimp-dev assimp-testmodels
  # lumisave-tool export encodes with FFmpeg's libraries; the tests read
  # the videos back with ffprobe and ffmpeg.
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev ffmpeg
  # The package's check, and the daemon the saver runs under.
  lintian xscreensaver xscreensaver-data
)
windows_packages=(
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest
  wine wine64
  # Wine's DirectShow decodes MP3 and WAV files through GStreamer.
  gstreamer1.0-plugins-good
)
if [[ ${1:-} == --windows ]]; then
  packages=("${windows_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

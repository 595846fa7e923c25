#!/usr/bin/env bash
# Installs every package needed to build, run, test and benchmark Ovilen on
# Debian 12 (bookworm). Safe to run again: apt-get skips what is installed.
#
#   scripts/install-deps.sh          build, run and test dependencies
#   scripts/install-deps.sh --vm     also the packages for tests/vm (qemu, kernel)
set -euo pipefail

want_vm=0
for arg in "$@"; do
  case "$arg" in
    --vm) want_vm=1 ;;
    *) echo "usage: $0 [--vm]" >&2; exit 2 ;;
  esac
done

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config git clang-format clang-tidy ccache
  # the fuzz targets: clang with libFuzzer and the sanitizer runtimes, and
  # llvm-symbolizer for readable reports
  clang-14 libclang-rt-14-dev llvm-14
  # Qt 6
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools
  libqt6svg6 qt6-qpa-plugins qt6-wayland libgl-dev
  # GStreamer 1.22
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-tools
  # FFmpeg's libraries, and the command-line tool the benchmarks compare with
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev ffmpeg
  # JPEG, hot-plug, sound
  libturbojpeg0-dev libjpeg62-turbo-dev libudev-dev libasound2-dev libasound2-plugins alsa-utils
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  # headless display and a Korean font
  xvfb xauth x11-utils fonts-nanum
  # installing and packaging: validators of the desktop files, the Debian
  # package tools (dpkg-shlibdeps, and file, which CPack uses beside it)
  desktop-file-utils appstream dpkg-dev file
)
if [ "$want_vm" = 1 ]; then
  packages+=(qemu-system-x86 linux-image-amd64 busybox-static v4l-utils cpio kmod xz-utils udev)
fi

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

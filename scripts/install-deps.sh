#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Idempotent: apt-get runs only when a package is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ccache clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libpng-dev libjpeg-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-wine libfribidi-dev
  libx11-dev libxext-dev
  libasound2-dev libjack-jackd2-dev jackd2
  nlohmann-json3-dev
  qemu-system-x86 busybox-static xz-utils
  xvfb xdotool x11-apps
  librsvg2-bin desktop-file-utils appstream groff-base
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing: ${missing[*]}"
# jackd2 asks whether to enable real-time priority; answer without a terminal.
echo "jackd2 jackd/tweak_rt_limits boolean false" | $sudo debconf-set-selections
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# prepare-guest.sh BUILD_DIR
# Makes the guest's kernel and initramfs in BUILD_DIR/alsa-guest: Debian's
# own kernel (the package linux-image-amd64 depends on) with the modules the
# guest loads, and an initramfs of busybox-static, modules.list and
# guest-init.sh. What is there already is reused; the initramfs is rebuilt
# when its sources change. Safe to run from several tests at once.
#
# Where the kernel can boot uncompressed (PVH entry), its image is unpacked
# once here: decompressing it on the emulated CPU took longer than the rest
# of the boot.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
cache=$(mkdir -p "$1/alsa-guest" && cd "$1/alsa-guest" && pwd)
busybox=/bin/busybox

exec 9>"$cache/.lock"
flock 9

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# Module names as listed, without their parameters or comments.
module_names() { sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$here/modules.list" | awk '{print $1}'; }

kernel_package() {
  apt-cache depends --important linux-image-amd64 2>/dev/null |
    awk '$1 == "Depends:" && $2 ~ /^linux-image-/ {print $2; exit}'
}

fetch_kernel() {
  local pkg unpack deb m file
  pkg=$(kernel_package)
  if [ -z "$pkg" ]; then
    $sudo apt-get update -qq
    pkg=$(kernel_package)
  fi
  [ -n "$pkg" ] || { echo "prepare-guest: no package behind linux-image-amd64" >&2; exit 1; }
  unpack=$(mktemp -d "$cache/unpack.XXXXXX")
  trap 'rm -rf "$unpack"' EXIT
  chmod 755 "$unpack"
  if ! (cd "$unpack" && apt-get download -qq "$pkg" 2>/dev/null); then
    $sudo apt-get update -qq
    (cd "$unpack" && apt-get download -qq "$pkg")
  fi
  deb=$(ls "$unpack"/*.deb)
  dpkg-deb -x "$deb" "$unpack/root"
  rm -rf "$cache/modules" && mkdir "$cache/modules"
  for m in $(module_names); do
    file=$(find "$unpack/root/lib/modules" \( -name "$m.ko" -o -name "$m.ko.xz" \
      -o -name "${m//-/_}.ko" -o -name "${m//-/_}.ko.xz" \) -print -quit)
    [ -n "$file" ] || { echo "prepare-guest: $pkg has no module $m" >&2; exit 1; }
    case "$file" in
      *.xz) xz -dc "$file" >"$cache/modules/$m.ko" ;;
      *) cp "$file" "$cache/modules/$m.ko" ;;
    esac
  done
  cp "$unpack"/root/boot/vmlinuz-* "$cache/vmlinuz"
  rm -f "$cache/vmlinux"
  if grep -q '^CONFIG_PVH=y' "$unpack"/root/boot/config-*; then
    unpack_vmlinux "$cache/vmlinuz" "$cache/vmlinux"
  fi
  echo "$pkg" >"$cache/kernel-package"
  rm -rf "$unpack"
  trap - EXIT
}

# The bzImage's setup header says where its compressed kernel lies
# (payload_offset at 0x248 and payload_length at 0x24c, after the setup
# sectors); leaves no file when the payload is not an xz-packed ELF.
unpack_vmlinux() {
  local image=$1 out=$2 setup offset length
  setup=$(od -An -tu1 -j 497 -N1 "$image" | tr -d ' ')
  offset=$(od -An -tu4 -j $((0x248)) -N4 "$image" | tr -d ' ')
  length=$(od -An -tu4 -j $((0x24c)) -N4 "$image" | tr -d ' ')
  tail -c +$(((setup + 1) * 512 + offset + 1)) "$image" | head -c "$length" |
    xz -dc >"$out.new" 2>/dev/null || true
  if [ "$(head -c 4 "$out.new" | od -An -c | tr -d ' ')" = '177ELF' ]; then
    mv "$out.new" "$out"
  else
    rm -f "$out.new"
  fi
}

build_initramfs() {
  local tree
  tree=$(mktemp -d "$cache/initramfs.XXXXXX")
  trap 'rm -rf "$tree"' EXIT
  mkdir -p "$tree"/{bin,dev,proc,sys,root,work,lib/modules}
  cp "$busybox" "$tree/bin/busybox"
  cp "$cache"/modules/*.ko "$tree/lib/modules/"
  cp "$here/modules.list" "$tree/lib/modules/modules.list"
  cp "$here/guest-init.sh" "$tree/init"
  chmod 755 "$tree/init"
  (cd "$tree" && find . -mindepth 1 | "$busybox" cpio -o -H newc -R 0:0 2>/dev/null) \
    >"$cache/initramfs.cpio.new"
  mv "$cache/initramfs.cpio.new" "$cache/initramfs.cpio"
  rm -rf "$tree"
  trap - EXIT
}

if [ ! -s "$cache/vmlinuz" ] || [ ! -s "$cache/kernel-package" ]; then
  echo "prepare-guest: fetching the kernel into $cache" >&2
  fetch_kernel
fi
initramfs="$cache/initramfs.cpio"
if [ ! -s "$initramfs" ] || [ "$here/guest-init.sh" -nt "$initramfs" ] ||
  [ "$here/modules.list" -nt "$initramfs" ] || [ "$cache/vmlinuz" -nt "$initramfs" ]; then
  build_initramfs
fi

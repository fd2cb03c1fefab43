#!/usr/bin/env bash
# run-in-guest.sh BUILD_DIR [--timeout SECONDS] [--keep] -- COMMAND ARGS...
# Boots the ALSA test guest (Debian's kernel with the sequencer and two
# virtual raw-MIDI cards; the host's files read-only at the same paths), runs
# COMMAND there as root in the current folder, prints its standard output and
# error and exits with its exit code. The guest's console goes to a log file,
# kept with the run's folder when the run fails (or with --keep). Exit codes
# of its own: 124 when the run outlasts the timeout (default 600 s), 125 when
# the guest fails to start the command.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
usage() { echo "usage: $0 BUILD_DIR [--timeout SECONDS] [--keep] -- COMMAND ARGS..." >&2; exit 2; }
[ $# -ge 1 ] || usage
build=$1
shift
timeout=600
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --timeout) [ $# -ge 2 ] || usage; timeout=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    --) shift; break ;;
    *) usage ;;
  esac
done
[ $# -ge 1 ] || usage

"$here/prepare-guest.sh" "$build"
cache=$(cd "$build/alsa-guest" && pwd)
mkdir -p "$cache/runs"
work=$(mktemp -d "$cache/runs/run.XXXXXX")

# The command runs in the same folder, with the variables that steer the
# tests and sanitizers; HOME is the guest's own /tmp.
{
  echo "cd $(printf %q "$PWD") || exit 125"
  echo "export HOME=/tmp"
  for v in $(compgen -e | grep -E '^(PATH|LANG|LC_[A-Z]+|TZ|TERM|[A-Z]+SAN_OPTIONS|GTEST_[A-Z_]+|MM_[A-Z_]+)$'); do
    echo "export $v=$(printf %q "${!v}")"
  done
  printf 'exec'
  printf ' %q' "$@"
  echo
} >"$work/command.sh"
echo "$work" >"$work/hostpath"

kernel="$cache/vmlinux"
[ -f "$kernel" ] || kernel="$cache/vmlinuz"

set +e
timeout --kill-after=10 "$timeout" qemu-system-x86_64 \
  -accel tcg -cpu max -m 2048 -smp 2 -nographic -no-reboot -nic none \
  -kernel "$kernel" -initrd "$cache/initramfs.cpio" \
  -append "console=ttyS0 quiet panic=-1" \
  -virtfs "local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap" \
  -virtfs "local,path=$work,mount_tag=work,security_model=none,multidevs=remap" \
  </dev/null >"$work/console.log" 2>&1
qemu=$?
set -e

[ -f "$work/stdout" ] && cat "$work/stdout"
[ -f "$work/stderr" ] && cat "$work/stderr" >&2
if [ -f "$work/status" ]; then
  status=$(cat "$work/status")
elif [ "$qemu" -eq 124 ] || [ "$qemu" -eq 137 ]; then
  echo "run-in-guest: the guest did not finish within $timeout s" >&2
  status=124
else
  [ -f "$work/guest-error" ] && cat "$work/guest-error" >&2
  echo "run-in-guest: the guest ended without running the command (qemu exit $qemu)" >&2
  status=125
fi
if [ "$status" -ne 0 ] || [ "$keep" -eq 1 ]; then
  echo "run-in-guest: the guest's console and files are in $work" >&2
else
  rm -rf "$work"
fi
exit "$status"

#!/bin/busybox sh
# The guest's /init. Loads the modules of modules.list, mounts the host's
# root (read-only) and the run's work folder through 9p, mounts the kernel's
# file systems inside the host's root, runs the work folder's command.sh
# there under chroot and writes its exit code to the work folder's status
# file, its output to stdout and stderr there. Then powers the guest off.
/bin/busybox mkdir -p /bin
/bin/busybox --install -s /bin
export PATH=/bin

mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev

stop() {
  sync
  poweroff -f
  reboot -f
}

# Until the work folder is there, failures can only go to the console.
fail() {
  echo "guest: $*" >&2
  [ -f /work/hostpath ] && echo "guest: $*" >/work/guest-error
  stop
}

sed -e 's/#.*//' -e '/^[[:space:]]*$/d' /lib/modules/modules.list |
  while read -r name params; do
    # shellcheck disable=SC2086 # the parameters are separate words
    insmod "/lib/modules/$name.ko" $params || echo "insmod $name failed" >>/insmod-errors
  done

p9="trans=virtio,version=9p2000.L,msize=262144"
echo "guest: modules loaded"
mount -t 9p -o "$p9" work /work || fail "cannot mount the work folder"
[ -f /insmod-errors ] && fail "$(cat /insmod-errors)"
mount -t 9p -o "$p9,ro,cache=loose" hostroot /root || fail "cannot mount the host's root"

root=/root
mount -t devtmpfs devtmpfs $root/dev || fail "cannot mount devtmpfs"
mkdir -p $root/dev/shm $root/dev/pts
mount -t devpts devpts $root/dev/pts
mount -t proc proc $root/proc || fail "cannot mount proc"
mount -t sysfs sysfs $root/sys || fail "cannot mount sysfs"
for d in /run /dev/shm /tmp; do
  mount -t tmpfs tmpfs $root$d || fail "cannot mount tmpfs on $d"
done

# The work folder appears at its host path; under a tmpfs that path has to
# be made first.
hostpath=$(cat /work/hostpath)
mkdir -p "$root$hostpath" 2>/dev/null
mount -o bind /work "$root$hostpath" || fail "cannot bind the work folder to $hostpath"

echo "guest: running the command"
chroot $root /bin/bash "$hostpath/command.sh" >/work/stdout 2>/work/stderr </dev/null
echo $? >/work/status.new
mv /work/status.new /work/status
echo "guest: the command ended"
stop

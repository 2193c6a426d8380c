#!/usr/bin/env bash
# Runs the README's test command as a newcomer would: on a fresh Debian 12
# (a debootstrap minbase chroot with /proc, /sys and /dev mounted), as a new
# user who has sudo, in a clone of this checkout's HEAD. Needs root and
# Debian's archive; not part of CI. Prints the time the command took and the
# test counts of each build.
#   scripts/check-fresh-machine.sh [folder for the chroot]
# DEBIAN_MIRROR names another archive (default http://deb.debian.org/debian).
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "check-fresh-machine.sh makes a chroot and needs root" >&2
  exit 2
fi
checkout=$(cd "$(dirname "$0")/.." && pwd)
mirror=${DEBIAN_MIRROR-http://deb.debian.org/debian}
root=${1-$(mktemp -d /var/tmp/tornel-fresh.XXXXXX)}
user=newcomer
"$checkout/scripts/install-missing.sh" debootstrap git

mounted=()
cleanup() {
  local index process
  # What the test command left running there (wineserver, say) holds the mounts.
  for process in /proc/[0-9]*; do
    [ "$(readlink "$process/root" 2>/dev/null)" != "$root" ] || kill -9 "${process#/proc/}" 2>/dev/null || true
  done
  for ((index = ${#mounted[@]} - 1; index >= 0; index--)); do
    umount -l "${mounted[index]}" || true
  done
}
trap cleanup EXIT
mount_in_chroot() {
  mkdir -p "$root/$2"
  mount "${@:3}" "$1" "$root/$2"
  mounted+=("$root/$2")
}

echo "making a Debian 12 chroot in $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
  { tail -n 20 "$root.debootstrap.log" >&2; exit 1; }
cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb ${mirror%/debian}/debian-security bookworm-security main
EOF
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount_in_chroot proc proc -t proc
mount_in_chroot sysfs sys -t sysfs
mount_in_chroot /dev dev --rbind --make-rslave

in_chroot() {
  chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"
}
# What a new machine's user has: sudo, and git to clone with.
in_chroot apt-get -qq update
in_chroot env DEBIAN_FRONTEND=noninteractive apt-get -qq install -y --no-install-recommends \
  sudo git ca-certificates >/dev/null
in_chroot useradd --create-home --shell /bin/bash "$user"
echo "$user ALL=(ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
chmod 440 "$root/etc/sudoers.d/$user"

# A bundle of HEAD and its branch: the clone is the user's own, as from a server.
bundle=/home/$user/tornel.bundle
git -C "$checkout" bundle create "$root$bundle" HEAD $(git -C "$checkout" symbolic-ref -q --short HEAD) 2>/dev/null
chown "$(in_chroot id -u "$user"):$(in_chroot id -g "$user")" "$root$bundle"
echo "testing $(git -C "$checkout" log -1 --format='%h %s') as $user"

log=$root.test.log
status=0
start=$(date +%s)
in_chroot su --login "$user" -c "git clone -q $bundle tornel && cd tornel && scripts/test.sh" >"$log" 2>&1 ||
  status=$?
seconds=$(($(date +%s) - start))

echo "scripts/test.sh as $user on a fresh Debian 12: status $status after $((seconds / 60)) min $((seconds % 60)) s"
grep -E "tests passed|tests failed out of|^fuzzing the|^The tests under wine|lintian found|^staged install" "$log" || true
if [ "$status" -ne 0 ]; then
  tail -n 40 "$log"
  echo "the whole output: $log" >&2
fi
exit "$status"

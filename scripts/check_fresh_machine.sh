#!/usr/bin/env bash
# Runs the README's two set-up commands on a bare Debian tree, as a new user's machine would, and
# between them the one that builds dist/Quillon.exe:
#   mmdebstrap --variant=apt bookworm /work/fresh
#   sudo bash scripts/check_fresh_machine.sh /work/fresh [shared folder]
# A clean clone of the current branch goes to <tree>/check/main and the shared test data beside
# it (<tree>/check/shared, as the tests expect); proc, dev and dev/pts (the terminal tests open
# a pseudo-terminal) are mounted for the run and unmounted afterwards. Build folders of this
# checkout are never copied.
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 <chroot folder> [shared folder]" >&2
  exit 1
fi
root=$(realpath "$1")
repo=$(cd "$(dirname "$0")/.." && pwd)
shared=$(realpath "${2:-$repo/../shared}")
work=/check

rm -rf "$root$work"
mkdir -p "$root$work"
git clone -q --branch "$(git -C "$repo" branch --show-current)" "$repo" "$root$work/main"
cp -a "$shared" "$root$work/shared"
cp /etc/resolv.conf "$root/etc/resolv.conf"

mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
trap 'umount "$root/dev/pts"; umount "$root/dev"; umount "$root/proc"' EXIT

chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
  /bin/bash -c "cd $work/main && bash scripts/run_example.sh && bash scripts/build_windows.sh &&
   bash scripts/test_all.sh"
echo "fresh machine check passed"

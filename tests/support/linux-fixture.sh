#!/bin/sh
# Makes, on the Linux side, what a Windows program cannot make under Wine: for the folder walk a
# folder that cannot be read, symbolic links to folders and a drive whose root is a temporary
# folder; for the join an input reached through a second drive letter and through a hard link,
# a small drive on another file system (tmpfs), where a move must copy, and a small exFAT drive,
# which keeps no access lists; both can be filled. Drives are links in the prefix's dosdevices:
# Y: for the walk, X: for the join, W: for the other file system, V: for exFAT (mounted as root
# through FUSE from an image on a loop device).
# Usage: linux-fixture.sh setup|cleanup WINDOWS_BUILD_DIR FIXTURE_DIR
set -eu
verb=$1
build=$(cd "$2" && pwd)
fixture=$3
here=$(cd "$(dirname "$0")" && pwd)
walkDrive="$build/wineprefix/dosdevices/y:"
joinDrive="$build/wineprefix/dosdevices/x:"
otherDrive="$build/wineprefix/dosdevices/w:"
exfatDrive="$build/wineprefix/dosdevices/v:"

remove() {
  umount "$fixture/other" 2>/dev/null || true
  if [ -f "$fixture/exfat.loop" ]; then
    umount "$fixture/exfat" 2>/dev/null || true
    losetup -d "$(cat "$fixture/exfat.loop")" 2>/dev/null || true
  fi
  rm -f "$walkDrive" "$joinDrive" "$otherDrive" "$exfatDrive"
  if [ -d "$fixture" ]; then
    chmod -R u+rwx "$fixture"
    rm -rf "$fixture"
  fi
}

case $verb in
  setup)
    remove
    # The prefix is made on first use; a link put there before would be swept away with it.
    [ -f "$build/wineprefix/.folianto-ready" ] ||
      "$here/../../tools/wine-run.sh" "$build" cmd /c exit >/dev/null 2>&1

    mkdir -p "$fixture/drive/docs" "$fixture/locked/shut/deep" "$fixture/locked/open" \
      "$fixture/looped/sub"
    touch "$fixture/drive/a.pdf" "$fixture/drive/~lock.pdf" "$fixture/drive/docs/b.pdf"
    touch "$fixture/locked/a.pdf" "$fixture/locked/shut/b.pdf" "$fixture/locked/shut/deep/c.pdf" \
      "$fixture/locked/open/d.pdf"
    chmod 000 "$fixture/locked/shut"
    touch "$fixture/looped/a.pdf" "$fixture/looped/sub/b.pdf"
    ln -s .. "$fixture/looped/sub/back"
    # Two links to one folder outside the tree, and one back up to the tree.
    mkdir -p "$fixture/linked/tree/sub" "$fixture/linked/outside/inner"
    touch "$fixture/linked/tree/a.pdf" "$fixture/linked/tree/sub/b.pdf" \
      "$fixture/linked/outside/o.pdf" "$fixture/linked/outside/inner/i.pdf"
    ln -s "$fixture/linked/outside" "$fixture/linked/tree/out"
    ln -s ../../outside "$fixture/linked/tree/sub/again"
    ln -s .. "$fixture/linked/tree/sub/up"
    ln -s "$fixture/drive" "$walkDrive"

    mkdir -p "$fixture/join/in put"
    printf '%%PDF-1.4\n%% the join must never write here\n' >"$fixture/join/in put/input.pdf"
    ln "$fixture/join/in put/input.pdf" "$fixture/join/in put/hard link.pdf"
    ln -s "$fixture/join" "$joinDrive"
    mkdir -p "$fixture/other"
    mount -t tmpfs -o size=4M,mode=0755 folianto-fixture "$fixture/other"
    ln -s "$fixture/other" "$otherDrive"
    mkdir -p "$fixture/exfat"
    truncate -s 4M "$fixture/exfat.img"
    mkfs.exfat "$fixture/exfat.img" >/dev/null
    losetup -f --show "$fixture/exfat.img" >"$fixture/exfat.loop"
    mount.exfat-fuse "$(cat "$fixture/exfat.loop")" "$fixture/exfat" >/dev/null
    ln -s "$fixture/exfat" "$exfatDrive"
    # Wine's mount manager learns the drives when its server starts; one still running from the
    # prefix's creation or an earlier run would not know these.
    WINEPREFIX="$build/wineprefix" wineserver -k 2>/dev/null || true
    ;;
  cleanup)
    remove
    ;;
  *)
    echo "usage: $0 setup|cleanup WINDOWS_BUILD_DIR FIXTURE_DIR" >&2
    exit 2
    ;;
esac

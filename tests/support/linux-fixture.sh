#!/bin/sh
# Makes, on the Linux side, the folders that a Windows program cannot make under Wine: a folder
# that cannot be read, a symbolic link back into its own tree, and a drive whose root is a
# temporary folder (a link in the prefix's dosdevices).
# Usage: folder-fixture.sh setup|cleanup WINDOWS_BUILD_DIR FIXTURE_DIR DRIVE_LETTER
set -eu
verb=$1
build=$(cd "$2" && pwd)
fixture=$3
drive=$(printf '%s' "$4" | tr 'A-Z' 'a-z')
here=$(cd "$(dirname "$0")" && pwd)
link="$build/wineprefix/dosdevices/$drive:"

remove() {
  rm -f "$link"
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
    ln -s "$fixture/drive" "$link"
    ;;
  cleanup)
    remove
    ;;
  *)
    echo "usage: $0 setup|cleanup WINDOWS_BUILD_DIR FIXTURE_DIR DRIVE_LETTER" >&2
    exit 2
    ;;
esac

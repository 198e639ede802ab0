#!/usr/bin/env bash
# Installs what building, running and testing need, from Debian's packages only. Does nothing when
# everything is there already.
set -euo pipefail

packages=(
  cmake make g++ git                        # native build of the portable logic
  g++-mingw-w64-x86-64-posix                # the Windows program
  clang lld                                 # the same program built by a second compiler
  googletest libgtest-dev                   # GoogleTest sources, built for each target
  wine wine64 wine64-tools libwine-dev      # running it here, and the pdftk bridge
  fonts-wine fonts-liberation               # the caption glyphs, and a stand-in for Arial
  xvfb xauth xdotool x11-utils imagemagick  # a private display, input and screenshots
  libx11-6 libxfixes3                       # reading the pointer the display shows
  libxcursor1 adwaita-icon-theme            # the pointer images Wine shows, the same everywhere
  pdftk-java qpdf poppler-utils             # the real joins, and checking their output
  exfat-fuse exfatprogs                     # a drive without access lists, for the tests
  python3                                   # the end-to-end driver (standard library only)
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"

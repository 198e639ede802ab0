#!/usr/bin/env bash
# Builds the release archive for Windows users: folianto-VERSION-win64.zip with folianto.exe,
# HAND-M.CUR, LICENSE and README.txt, and its SHA-256 beside it (folianto-VERSION-win64.zip.sha256),
# in the Windows build folder. Installs what it needs first.
set -euo pipefail
exec "$(dirname "$0")/build-windows.sh" package

#!/usr/bin/env bash
# Runs one end-to-end scenario on a private Xvfb display of its own.
# Usage: run-scenario.sh WINDOWS_BUILD_DIR SCENARIO
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$root/tools/fixed-addresses.sh"
. "$root/tools/xvfb.sh"
start_private_display
# Debian's interpreter, whatever else is first on PATH: the driver needs only its standard library.
/usr/bin/python3 -B "$here/scenarios.py" "$@"

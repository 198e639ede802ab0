#!/bin/sh
# Runs a command so that file permissions hold for it: root normally reads every folder whatever
# its mode, which would leave an unreadable folder readable.
# Usage: without-override.sh COMMAND [ARGUMENTS...]
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null 2>&1 &&
  setpriv --bounding-set=-dac_override,-dac_read_search true 2>/dev/null; then
  exec setpriv --bounding-set=-dac_override,-dac_read_search "$@"
fi
exec "$@"

# Sourced by the scripts that need a display: starts a private Xvfb and stops it by its process id.
# Usage: . tools/xvfb.sh; start_private_display; ...; (stopped on exit)

start_private_display() {
  local numberFile
  numberFile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
  FOLIANTO_XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$numberFile" ] && break
    sleep 0.1
  done
  if [ ! -s "$numberFile" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$numberFile")"
  rm -f "$numberFile"
  trap stop_private_display EXIT
}

stop_private_display() {
  if [ -n "${FOLIANTO_XVFB_PID:-}" ]; then
    kill "$FOLIANTO_XVFB_PID" 2>/dev/null || true
    wait "$FOLIANTO_XVFB_PID" 2>/dev/null || true
    FOLIANTO_XVFB_PID=
  fi
}

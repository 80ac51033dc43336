# Sourced by the test scripts: a private X server and D-Bus session for window tests.
start_test_session() {
  local n
  for n in $(seq 90 140); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    TARNWICK_XVFB_PID=$!
    for _ in $(seq 50); do
      [[ -e /tmp/.X11-unix/X$n ]] && break
      sleep 0.1
    done
    if kill -0 "$TARNWICK_XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$n"
      break
    fi
  done
  [[ -n "${DISPLAY:-}" ]] || { echo "Could not start Xvfb" >&2; return 1; }
  if command -v dbus-launch >/dev/null; then
    eval "$(dbus-launch --sh-syntax)"
    export DBUS_SESSION_BUS_ADDRESS
    TARNWICK_DBUS_PID=${DBUS_SESSION_BUS_PID:-}
  fi
  export QT_QPA_PLATFORM=xcb
}

stop_test_session() {
  [[ -n "${TARNWICK_DBUS_PID:-}" ]] && kill "$TARNWICK_DBUS_PID" 2>/dev/null
  [[ -n "${TARNWICK_XVFB_PID:-}" ]] && kill "$TARNWICK_XVFB_PID" 2>/dev/null
  return 0
}

# Sourced by the test scripts: a private X server and D-Bus session for window tests.
start_test_session() {
  # Xvfb chooses a free display itself and writes its number to the pipe, so
  # two sessions started at once never share (and later lose) one server.
  # -noreset: the server must not restart (and refuse connections for a
  # moment) whenever its last test client has gone.
  local fifo
  fifo=$(mktemp -u /tmp/tarnwick-xvfb-XXXXXX)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  TARNWICK_XVFB_PID=$!
  local display=""
  read -r -t 20 display <"$fifo" || true
  rm -f "$fifo"
  if [[ -z "$display" ]] || ! kill -0 "$TARNWICK_XVFB_PID" 2>/dev/null; then
    echo "Could not start Xvfb" >&2
    return 1
  fi
  export DISPLAY=":$display"
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

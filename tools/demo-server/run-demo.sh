#!/usr/bin/env bash
# Starts the demo transfer server and the client, pre-set to connect to it: the client
# joins the demo server by itself after start and shows its page.
#
#   tools/demo-server/run-demo.sh [BUILD_DIR] [client arguments...]
#
# The client runs with its own data and config folders under BUILD_DIR/demo-home
# (override with ORBISK_DEMO_HOME), so your own server list, settings and start-with-
# system entry are left alone. The server
# listens on 127.0.0.1:9443 (ORBISK_DEMO_PORT; 0 picks a free port). Both stop when
# the client quits or this script is interrupted. ORBISK_DEMO_CLIENT runs another client
# executable than BUILD_DIR/bin/orbisk-client, e.g. a copy under another name; the
# client names its data folder after its executable.
set -euo pipefail

BUILD_DIR=${1:-build}
shift || true
BIN="$BUILD_DIR/bin"
DEMO_HOME=${ORBISK_DEMO_HOME:-$BUILD_DIR/demo-home}
PORT=${ORBISK_DEMO_PORT:-9443}
DATA_HOME="$DEMO_HOME/data"
CLIENT=${ORBISK_DEMO_CLIENT:-$BIN/orbisk-client}
CLIENT_NAME=$(basename "$CLIENT")
CLIENT_DATA="$DATA_HOME/$CLIENT_NAME"

for program in "$BIN/orbisk-demo-server" "$CLIENT"; do
    if [ ! -x "$program" ]; then
        echo "run-demo: $program is missing; build first (scripts/build)" >&2
        exit 1
    fi
done

mkdir -p "$DEMO_HOME" "$CLIENT_DATA"
SERVER_LOG="$DEMO_HOME/server.log"
"$BIN/orbisk-demo-server" --cert-dir "$DEMO_HOME/certificate" --port "$PORT" >"$SERVER_LOG" &
SERVER_PID=$!
CLIENT_PID=""

stop_all() {
    if [ -n "$CLIENT_PID" ]; then
        kill "$CLIENT_PID" 2>/dev/null || true
        wait "$CLIENT_PID" 2>/dev/null || true
    fi
    kill "$SERVER_PID" 2>/dev/null || true
    wait "$SERVER_PID" 2>/dev/null || true
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The server's first line names its address, once it accepts connections.
ADDRESS=""
for _ in $(seq 1 300); do
    ADDRESS=$(sed -n 's/^listening \(127\.0\.0\.1:[0-9]*\)$/\1/p' "$SERVER_LOG")
    [ -n "$ADDRESS" ] && break
    if ! kill -0 "$SERVER_PID" 2>/dev/null; then
        echo "run-demo: the demo server did not start" >&2
        exit 1
    fi
    sleep 0.1
done
if [ -z "$ADDRESS" ]; then
    echo "run-demo: the demo server did not report its address" >&2
    exit 1
fi
SERVER_URL="https://$ADDRESS"
echo "run-demo: demo server at $SERVER_URL (log: $SERVER_LOG)"

# The demo server as the one default server. Rewritten at every start, because the
# port may differ from the last run.
cat >"$CLIENT_DATA/ServerConfig.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<ServerList>
    <Server>
        <Default>true</Default>
        <Name>Orbisk demo</Name>
        <URL>$SERVER_URL</URL>
    </Server>
</ServerList>
XML

# A demo neither registers itself to start with the system nor hides in the tray on
# close: closing its window ends the demo. Written once, so changes in the demo stay.
if [ ! -e "$CLIENT_DATA/$CLIENT_NAME.ini" ]; then
    printf '[General]\nAutoStart=false\nMiniTray=false\n' >"$CLIENT_DATA/$CLIENT_NAME.ini"
fi

# Chromium refuses its sandbox when run as root.
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox}"
fi

# In the background and waited for, so an interrupt reaches the traps at once.
XDG_DATA_HOME="$DATA_HOME" XDG_CONFIG_HOME="$DEMO_HOME/config" "$CLIENT" "$@" &
CLIENT_PID=$!
status=0
wait "$CLIENT_PID" || status=$?
CLIENT_PID=""
exit "$status"

#!/usr/bin/env bash
# Starts the demo transfer server and the client, pre-set to connect to it: the client
# joins the demo server by itself after start and shows its page.
#
#   tools/demo-server/run-demo.sh [BUILD_DIR] [client arguments...]
#
# The client runs with its own data, config and download folders under
# BUILD_DIR/demo-home (override with ORBISK_DEMO_HOME), so your own server list,
# settings, trusted certificates, start-with-system entry and downloads are left alone.
# The server offers the files of BUILD_DIR/demo-home/files for download and stores
# uploads there. It listens on 127.0.0.1:9443 (ORBISK_DEMO_PORT; 0 picks a free port),
# whose certificate the demo client trusts, and on 127.0.0.1:9444
# (ORBISK_DEMO_SECOND_PORT) with another certificate that it does not trust, to try the
# certificate question. Both stop when
# the client quits or this script is interrupted. ORBISK_DEMO_CLIENT runs another client
# executable than BUILD_DIR/bin/orbisk-client, e.g. a copy under another name; the
# client names its data folder after its executable.
set -euo pipefail

BUILD_DIR=${1:-build}
shift || true
BIN="$BUILD_DIR/bin"
DEMO_HOME=${ORBISK_DEMO_HOME:-$BUILD_DIR/demo-home}
PORT=${ORBISK_DEMO_PORT:-9443}
if [ "$PORT" = 0 ]; then
    SECOND_PORT=${ORBISK_DEMO_SECOND_PORT:-0}
else
    SECOND_PORT=${ORBISK_DEMO_SECOND_PORT:-9444}
fi
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

mkdir -p "$DEMO_HOME" "$CLIENT_DATA" "$DEMO_HOME/config"

# A client certificate for the port that asks for one, in the demo home's own NSS
# database (the user's certificate store the engine reads on Linux).
CLIENT_CERT_DIR="$DEMO_HOME/client-certificate"
"$(dirname "$0")/make-client-certificate.sh" "$CLIENT_CERT_DIR"
NSS_DB="$DEMO_HOME/.pki/nssdb"
if [ ! -e "$NSS_DB/cert9.db" ]; then
    mkdir -p "$NSS_DB"
    certutil -N -d "sql:$NSS_DB" --empty-password
    pk12util -i "$CLIENT_CERT_DIR/client.p12" -d "sql:$NSS_DB" -W orbisk-demo -K "" >/dev/null
fi

SERVER_LOG="$DEMO_HOME/server.log"
"$BIN/orbisk-demo-server" --cert-dir "$DEMO_HOME/certificate" --files-dir "$DEMO_HOME/files" --port "$PORT" \
    --second-port "$SECOND_PORT" --client-ca "$CLIENT_CERT_DIR/ca.pem" \
    >"$SERVER_LOG" &
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
SECOND_URL="https://$(sed -n 's/^listening-second \(127\.0\.0\.1:[0-9]*\)$/\1/p' "$SERVER_LOG")"
echo "run-demo: demo server at $SERVER_URL (log: $SERVER_LOG)"
CLIENT_CERT_URL="https://$(sed -n 's/^listening-client-cert \(127\.0\.0\.1:[0-9]*\)$/\1/p' "$SERVER_LOG")"
echo "run-demo: the same with an untrusted certificate at $SECOND_URL"
echo "run-demo: sign-in (user demo, password orbisk-demo) at $SERVER_URL/signin"
echo "run-demo: asking for a client certificate at $CLIENT_CERT_URL"

# The demo server as the default server, and its second port to choose by hand.
# Rewritten at every start, because the ports may differ from the last run.
cat >"$CLIENT_DATA/ServerConfig.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<ServerList>
    <Server>
        <Default>true</Default>
        <Name>Orbisk demo</Name>
        <URL>$SERVER_URL</URL>
    </Server>
    <Server>
        <Default>false</Default>
        <Name>Orbisk demo, untrusted certificate</Name>
        <URL>$SECOND_URL</URL>
    </Server>
    <Server>
        <Default>false</Default>
        <Name>Orbisk demo, sign-in</Name>
        <URL>$SERVER_URL/signin</URL>
    </Server>
    <Server>
        <Default>false</Default>
        <Name>Orbisk demo, client certificate</Name>
        <URL>$CLIENT_CERT_URL</URL>
    </Server>
</ServerList>
XML

# The demo certificate as trusted, as if the user had trusted it once; the second
# port's certificate is left to ask about. Rewritten at every start too, so trust
# given in one demo is asked for again in the next.
FINGERPRINT=$(openssl x509 -in "$DEMO_HOME/certificate/cert.pem" -noout -fingerprint -sha256 | sed 's/^.*=//')
CLIENT_CERT_ADDRESS=${CLIENT_CERT_URL#https://}
printf '{\n    "%s": [\n        "%s"\n    ],\n    "%s": [\n        "%s"\n    ]\n}\n' "$ADDRESS" "$FINGERPRINT" \
    "$CLIENT_CERT_ADDRESS" "$FINGERPRINT" >"$CLIENT_DATA/TrustedCertificates.json"

# A demo neither registers itself to start with the system nor hides in the tray on
# close: closing its window ends the demo. Written once, so changes in the demo stay.
if [ ! -e "$CLIENT_DATA/$CLIENT_NAME.ini" ]; then
    printf '[General]\nAutoStart=false\nMiniTray=false\n' >"$CLIENT_DATA/$CLIENT_NAME.ini"
fi

# The client saves downloads in the download folder that the config folder names.
DOWNLOADS="$(cd "$DEMO_HOME" && pwd)/downloads"
printf 'XDG_DOWNLOAD_DIR="%s"\n' "$DOWNLOADS" >"$DEMO_HOME/config/user-dirs.dirs"
echo "run-demo: downloads go to $DOWNLOADS"

# Chromium refuses its sandbox when run as root.
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox}"
fi

# The demo home is the client's home too, so the engine reads the demo's certificate
# store; the display's authority file stays the user's own.
export XAUTHORITY="${XAUTHORITY:-$HOME/.Xauthority}"
# In the background and waited for, so an interrupt reaches the traps at once.
HOME="$(cd "$DEMO_HOME" && pwd)" XDG_DATA_HOME="$DATA_HOME" XDG_CONFIG_HOME="$DEMO_HOME/config" "$CLIENT" "$@" &
CLIENT_PID=$!
status=0
wait "$CLIENT_PID" || status=$?
CLIENT_PID=""
exit "$status"

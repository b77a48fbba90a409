#!/usr/bin/env bash
# Makes a demo certificate authority and a client certificate it issued, for the demo
# server's port that asks for a client certificate:
#
#   tools/demo-server/make-client-certificate.sh DIR
#
# DIR gets ca.pem and ca.key (the authority, given to the server with --client-ca),
# client.pem and client.key, and client.p12 (the client's certificate and key, password
# "orbisk-demo", to import with pk12util). Files already there are kept.
set -euo pipefail

DIR=$1
mkdir -p "$DIR"
cd "$DIR"
if [ -e ca.pem ] && [ -e client.p12 ]; then
    exit 0
fi

openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout ca.key -out ca.pem -days 3650 \
    -subj "/O=Orbisk demo/CN=Orbisk Demo Client Authority" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout client.key -out client.csr \
    -subj "/O=Orbisk demo/CN=Orbisk Demo User" 2>/dev/null
printf 'basicConstraints=critical,CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=clientAuth\n' \
    >client.ext
openssl x509 -req -in client.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out client.pem -days 3650 \
    -extfile client.ext 2>/dev/null
openssl pkcs12 -export -inkey client.key -in client.pem -name "Orbisk Demo User" -out client.p12 \
    -passout pass:orbisk-demo
rm -f client.csr client.ext ca.srl

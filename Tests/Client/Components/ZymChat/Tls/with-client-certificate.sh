#!/usr/bin/env bash
# with-client-certificate.sh WORKDIR EMULATOR IMPORT-PROGRAM COMMAND [ARG ...]
# Makes a fresh self-signed client certificate and its key in WORKDIR/client
# (openssl), imports both into the current user's MY store of the current
# Wine prefix (IMPORT-PROGRAM run through EMULATOR), runs COMMAND with
# ZYM_CLIENT_CERT_SHA1 (its thumbprint, lower case), ZYM_CLIENT_CERT_SHA256
# (the fingerprint a server takes of it: SHA-256 of the DER form, lower-case
# hex), ZYM_CLIENT_CERT_PEM and ZYM_CLIENT_CERT_KEY (its files, for Linux
# clients) set, and takes it out of the store again, whatever COMMAND's
# outcome.
set -euo pipefail
workdir=$1 emulator=$2 import=$3
shift 3
client="$workdir/client"
rm -rf "$client"
mkdir -p "$client"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=zym-test-client" \
  -addext extendedKeyUsage=clientAuth \
  -keyout "$client/client.key" -out "$client/client.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$client/client.key" -in "$client/client.pem" \
  -out "$client/client.pfx" -passout pass:
fingerprint() {
  openssl x509 -in "$client/client.pem" -noout -fingerprint "-$1" | cut -d= -f2 | tr -d : | tr 'A-F' 'a-f'
}
sha1=$(fingerprint sha1)
sha256=$(fingerprint sha256)

key="HKCU\\Software\\Microsoft\\SystemCertificates\\My\\Certificates\\$(tr 'a-f' 'A-F' <<<"$sha1")"
forget() { "$emulator" reg delete "$key" /f >/dev/null 2>&1 || true; }
trap forget EXIT
"$emulator" "$import" "$("$emulator" winepath -w "$client/client.pfx" 2>/dev/null)" "$sha1"

status=0
ZYM_CLIENT_CERT_SHA1="$sha1" ZYM_CLIENT_CERT_SHA256="$sha256" \
  ZYM_CLIENT_CERT_PEM="$client/client.pem" ZYM_CLIENT_CERT_KEY="$client/client.key" "$@" || status=$?
exit "$status"

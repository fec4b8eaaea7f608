#!/usr/bin/env bash
# with-client-certificate.sh WORKDIR EMULATOR IMPORT-PROGRAM COMMAND [ARG ...]
# Makes a fresh self-signed client certificate and its key in WORKDIR/client
# (openssl), imports both into the current user's MY store of the current
# Wine prefix (IMPORT-PROGRAM run through EMULATOR), and a second certificate
# without its key, runs COMMAND with ZYM_CLIENT_CERT_SHA1 (the first one's
# thumbprint, lower case), ZYM_CLIENT_CERT_SHA256 (the fingerprint a server
# takes of it: SHA-256 of the DER form, lower-case hex), ZYM_CLIENT_CERT_PEM
# and ZYM_CLIENT_CERT_KEY (its files, for Linux clients) and
# ZYM_CLIENT_CERT_KEYLESS_SHA1 (the second one's thumbprint) set, and takes
# both out of the store again, whatever COMMAND's outcome.
set -euo pipefail
workdir=$1 emulator=$2 import=$3
shift 3
client="$workdir/client"
rm -rf "$client"
mkdir -p "$client"

# NAME: a self-signed certificate and its key, NAME.pem and NAME.key.
make_certificate() {
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=zym-test-$1" \
    -addext extendedKeyUsage=clientAuth \
    -keyout "$client/$1.key" -out "$client/$1.pem" 2>/dev/null
}
# NAME HASH: the certificate's fingerprint, lower-case hex without colons.
fingerprint() {
  openssl x509 -in "$client/$1.pem" -noout -fingerprint "-$2" | cut -d= -f2 | tr -d : | tr 'A-F' 'a-f'
}
make_certificate client
make_certificate keyless
openssl pkcs12 -export -inkey "$client/client.key" -in "$client/client.pem" \
  -out "$client/client.pfx" -passout pass:
openssl x509 -in "$client/keyless.pem" -outform DER -out "$client/keyless.der"
rm "$client/keyless.key"
sha1=$(fingerprint client sha1)
sha256=$(fingerprint client sha256)
keyless=$(fingerprint keyless sha1)

forget() {
  for thumbprint in "$sha1" "$keyless"; do
    "$emulator" reg delete "HKCU\\Software\\Microsoft\\SystemCertificates\\My\\Certificates\\$(tr 'a-f' 'A-F' <<<"$thumbprint")" \
      /f >/dev/null 2>&1 || true
  done
}
trap forget EXIT
windows_path() { "$emulator" winepath -w "$1" 2>/dev/null; }
"$emulator" "$import" "$(windows_path "$client/client.pfx")" "$sha1"
"$emulator" "$import" --without-key "$(windows_path "$client/keyless.der")" "$keyless"

status=0
ZYM_CLIENT_CERT_SHA1="$sha1" ZYM_CLIENT_CERT_SHA256="$sha256" \
  ZYM_CLIENT_CERT_PEM="$client/client.pem" ZYM_CLIENT_CERT_KEY="$client/client.key" \
  ZYM_CLIENT_CERT_KEYLESS_SHA1="$keyless" "$@" || status=$?
exit "$status"

#!/usr/bin/env bash
# with-tls-authority.sh WORKDIR EMULATOR TRUST-PROGRAM COMMAND [ARG ...]
# Makes a fresh test authority and server certificates in WORKDIR/certs,
# trusts the authority in the current Wine prefix only (TRUST-PROGRAM run
# through EMULATOR), runs COMMAND with ZYM_TLS_CERTS naming the folder, and
# takes the authority out of the prefix again, whatever COMMAND's outcome.
set -euo pipefail
workdir=$1 emulator=$2 trust=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
certs="$workdir/certs"
mkdir -p "$workdir"

bash "$here/make-test-certificates.sh" "$certs"
thumbprint=$(cat "$certs/authority.sha1")
key="HKLM\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\$thumbprint"
untrust() { "$emulator" reg delete "$key" /f >/dev/null 2>&1 || true; }
trap untrust EXIT
"$emulator" "$trust" "$("$emulator" winepath -w "$certs/authority.der" 2>/dev/null)"

status=0
ZYM_TLS_CERTS="$certs" "$@" || status=$?
exit "$status"

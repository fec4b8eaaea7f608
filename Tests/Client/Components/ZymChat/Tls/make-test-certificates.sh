#!/usr/bin/env bash
# make-test-certificates.sh DIR
# Makes a fresh test authority and the server certificates the TLS tests
# need, in DIR (keys never leave it and are made anew on every run):
#   authority.pem/.der  the authority a test prefix trusts
#   good.pem/.key       localhost, signed by the authority
#   wrongname.pem/.key  elsewhere.test, signed by the authority
#   expired.pem/.key    localhost, signed by the authority, valid only in 2020
#   untrusted.pem/.key  localhost, signed by a second authority nobody trusts
#   authority.sha1      the authority's thumbprint, as the system store names it
set -euo pipefail
dir=$1
mkdir -p "$dir"
cd "$dir"
rm -rf ca-db ./*.pem ./*.key ./*.csr ./*.der ./*.srl ./*.ext ./*.sha1

authority() { # NAME SUBJECT
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days 3 \
    -subj "/CN=$2" -addext basicConstraints=critical,CA:TRUE \
    -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
}

server_extensions() { # NAME HOST
  cat >"$1.ext" <<EXT
basicConstraints=CA:FALSE
keyUsage=critical,digitalSignature,keyEncipherment
extendedKeyUsage=serverAuth
subjectAltName=DNS:$2
EXT
}

request() { # NAME HOST
  openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "/CN=$2" 2>/dev/null
  server_extensions "$1" "$2"
}

signed() { # NAME HOST AUTHORITY
  request "$1" "$2"
  openssl x509 -req -in "$1.csr" -CA "$3.pem" -CAkey "$3.key" -CAcreateserial \
    -out "$1.pem" -days 3 -extfile "$1.ext" 2>/dev/null
}

tag="$(date +%s)-$$"
authority authority "Skelvane Test Authority $tag"
authority stranger "Stranger Test Authority $tag"
signed good localhost authority
signed wrongname elsewhere.test authority
signed untrusted localhost stranger

# An expired certificate needs dates in the past, which only the ca command
# sets.
mkdir -p ca-db
: >ca-db/index.txt
echo 1000 >ca-db/serial
cat >ca-db/ca.cnf <<CNF
[ca]
default_ca = test
[test]
dir = $PWD/ca-db
database = \$dir/index.txt
serial = \$dir/serial
new_certs_dir = \$dir
default_md = sha256
policy = anything
copy_extensions = none
[anything]
commonName = supplied
CNF
request expired localhost
openssl ca -batch -config ca-db/ca.cnf -cert authority.pem -keyfile authority.key \
  -in expired.csr -out expired.pem -startdate 20200101000000Z -enddate 20200201000000Z \
  -extfile expired.ext -notext 2>/dev/null

openssl x509 -in authority.pem -outform der -out authority.der
openssl x509 -in authority.pem -noout -fingerprint -sha1 | cut -d= -f2 | tr -d ':' | tr 'a-f' 'A-F' >authority.sha1
rm -rf ./*.csr ./*.srl ./*.ext ca-db stranger.key authority.key

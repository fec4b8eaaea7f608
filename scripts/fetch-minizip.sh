#!/usr/bin/env bash
# fetch-minizip.sh DEST_DIR
# Puts minizip's sources (contrib/minizip of Debian's zlib source package) in
# DEST_DIR/minizip. apt works from private source, list and cache folders
# inside DEST_DIR, so the machine's own apt state stays as it is. Does nothing
# when the sources are there already.
set -euo pipefail
dest=$1
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)
out="$dest/minizip"
[ -f "$out/unzip.c" ] && [ -f "$out/zip.c" ] && exit 0

apt_dir="$dest/apt"
rm -rf "$apt_dir"
mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/download"

# The source entry copies the machine's Debian entry (address, suite, keyring),
# so the download is checked against the same archive keys.
uri=http://deb.debian.org/debian suite=bookworm keyring=/usr/share/keyrings/debian-archive-keyring.gpg
machine=/etc/apt/sources.list.d/debian.sources
if [ -f "$machine" ]; then
  read -r m_uri m_suite m_keyring < <(awk '
    /^[[:space:]]*$/ { if (u != "") exit; next }
    /^URIs:/ && $2 !~ /security/ { u = $2 }
    /^Suites:/ { s = $2 }
    /^Signed-By:/ { k = $2 }
    END { if (u != "") print u, s, k }' "$machine") || true
  uri=${m_uri:-$uri} suite=${m_suite:-$suite} keyring=${m_keyring:-$keyring}
fi
cat > "$apt_dir/sources/debian-src.sources" <<SOURCES
Types: deb-src
URIs: $uri
Suites: $suite
Components: main
Signed-By: $keyring
SOURCES

apt_opts=(
  -o Dir::Etc::SourceList=/dev/null
  -o Dir::Etc::SourceParts="$apt_dir/sources"
  -o Dir::State::Lists="$apt_dir/lists"
  -o Dir::Cache="$apt_dir/cache"
  -o APT::Sandbox::User=root
)
apt-get "${apt_opts[@]}" -qq update
(cd "$apt_dir/download" && apt-get "${apt_opts[@]}" -qq source --download-only zlib >/dev/null)

orig=$(ls "$apt_dir"/download/zlib_*.orig.tar.* | head -n 1)
rm -rf "$dest/extract" "$out"
mkdir -p "$dest/extract"
tar -xf "$orig" -C "$dest/extract" --wildcards '*/contrib/minizip/*'
mv "$dest"/extract/*/contrib/minizip "$out"
rm -rf "$dest/extract"
echo "minizip sources in $out"

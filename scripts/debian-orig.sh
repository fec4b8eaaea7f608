#!/usr/bin/env bash
# debian-orig.sh SOURCE_PACKAGE DEST_DIR
# Downloads the upstream tarball (.orig.tar.*) of one of Debian's source
# packages into DEST_DIR/apt/download and prints its path. apt works from
# private source, list and cache folders inside DEST_DIR, so the machine's own
# apt state stays as it is.
set -euo pipefail
package=$1
dest=$2
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)

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
apt-get "${apt_opts[@]}" -qq update >&2
(cd "$apt_dir/download" && apt-get "${apt_opts[@]}" -qq source --download-only "$package" >/dev/null)

orig=$(ls "$apt_dir"/download/"$package"_*.orig.tar.* | head -n 1)
[ -f "$orig" ] || { echo "no upstream tarball of $package" >&2; exit 1; }
echo "$orig"

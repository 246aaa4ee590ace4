#!/usr/bin/env bash
# Debian's arm64 packages that the cross build and the runs under qemu-aarch64
# need (C and C++ runtime, Tcl 8.6, libjpeg-turbo, GoogleTest), unpacked with
# dpkg -x into one folder, the sysroot.  apt works for arm64 alone on a state
# and cache of its own beside that folder, from the host's package sources:
# the host's package lists, its dpkg database and architectures stay as they
# are, nothing is installed.
#   tests/plattform/sysroot.sh build/arm64/sysroot
# Does nothing when the folder already holds this list of packages.
set -euo pipefail

pakete=(libc6 libgcc-s1 libstdc++6 zlib1g libtcl8.6 tcl8.6 tcl8.6-dev
        libjpeg62-turbo libjpeg62-turbo-dev libgtest-dev libgmock-dev)

ziel=$(realpath -m "$1")
stempel=$ziel/.pakete
if [ -f "$stempel" ] && [ "$(cat "$stempel")" = "${pakete[*]}" ]; then
    exit 0
fi

apt_ordner=$(dirname "$ziel")/apt
mkdir -p "$apt_ordner/state/lists/partial" "$apt_ordner/cache/archives/partial"
: > "$apt_ordner/status"
apt=(apt-get -q -o "Dir::State=$apt_ordner/state" -o "Dir::State::status=$apt_ordner/status"
     -o "Dir::Cache=$apt_ordner/cache" -o APT::Architecture=arm64 -o APT::Architectures=arm64)
# As root apt fetches as the user _apt, who may not write into build/.
[ "$(id -u)" -ne 0 ] || apt+=(-o APT::Sandbox::User=root)

echo "sysroot: fetching arm64 packages: ${pakete[*]}"
"${apt[@]}" update > "$apt_ordner/update.log" 2>&1 || { cat "$apt_ordner/update.log"; exit 1; }
rm -rf "$apt_ordner/debs" "$ziel"
mkdir -p "$apt_ordner/debs" "$ziel"
(cd "$apt_ordner/debs" && "${apt[@]}" download "${pakete[@]}")
for deb in "$apt_ordner"/debs/*.deb; do
    dpkg -x "$deb" "$ziel"
done
echo "${pakete[*]}" > "$stempel"
echo "sysroot: $(ls "$apt_ordner/debs" | wc -l) packages unpacked into $1"

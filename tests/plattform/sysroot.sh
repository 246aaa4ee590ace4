#!/usr/bin/env bash
# Debian packages of one architecture and release, unpacked with dpkg -x into
# one folder, the sysroot: for the cross builds (C and C++ runtime, Tcl 8.6,
# libjpeg-turbo, GoogleTest) or, with package names given, just those.  apt
# works on a state and cache of its own beside that folder: the host's
# package lists, its dpkg database and architectures stay as they are,
# nothing is installed.
#   tests/plattform/sysroot.sh arch release folder [package...]
#   tests/plattform/sysroot.sh armhf bookworm build/plattform/armhf/sysroot
# The host's package sources serve its own release; another release comes
# from a sources list of its own (deb.debian.org), its Release file checked
# against the host's Debian archive keyring.  Does nothing when the folder
# already holds these packages of this architecture and release.
set -euo pipefail

if [ $# -lt 3 ]; then
    echo "usage: $0 arch release folder [package...]" >&2
    exit 2
fi
arch=$1 release=$2 ordner=$3
ziel=$(realpath -m "$ordner")
shift 3
pakete=("$@")
[ ${#pakete[@]} -gt 0 ] ||
    pakete=(libc6 libgcc-s1 libstdc++6 zlib1g libtcl8.6 tcl8.6 tcl8.6-dev
            libjpeg62-turbo libjpeg62-turbo-dev libgtest-dev libgmock-dev)

stempel=$ziel/.pakete
inhalt="$arch $release, /usr links: ${pakete[*]}"
if [ -f "$stempel" ] && [ "$(cat "$stempel")" = "$inhalt" ]; then
    exit 0
fi

apt_ordner=$(dirname "$ziel")/apt
rm -rf "$apt_ordner"
mkdir -p "$apt_ordner/state/lists/partial" "$apt_ordner/cache/archives/partial" \
         "$apt_ordner/sources.list.d"
: > "$apt_ordner/status"
apt=(apt-get -q -o "Dir::State=$apt_ordner/state" -o "Dir::State::status=$apt_ordner/status"
     -o "Dir::Cache=$apt_ordner/cache" -o "APT::Architecture=$arch"
     -o "APT::Architectures=$arch" -o Acquire::Languages=none -o Acquire::Retries=3)
# As root apt fetches as the user _apt, who may not write into build/.
[ "$(id -u)" -ne 0 ] || apt+=(-o APT::Sandbox::User=root)
eigenes=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
if [ "$release" != "$eigenes" ]; then
    schluessel=/usr/share/keyrings/debian-archive-keyring.gpg
    echo "deb [signed-by=$schluessel] http://deb.debian.org/debian $release main" \
        > "$apt_ordner/sources.list"
    apt+=(-o "Dir::Etc::SourceList=$apt_ordner/sources.list"
          -o "Dir::Etc::SourceParts=$apt_ordner/sources.list.d")
fi

echo "sysroot: fetching $arch packages of $release: ${pakete[*]}"
# A list that does not come (a mirror in the middle of a sync, say) leaves
# the packages of the other lists; a release whose Release file cannot be
# checked brings no list at all, and then the download below fails.
if ! "${apt[@]}" update > "$apt_ordner/update.log" 2>&1; then
    echo "sysroot: apt-get update reported errors, going on with the lists it has:"
    grep -E '^(E|W):' "$apt_ordner/update.log" | head -4 | sed 's/^/sysroot:   /'
fi
rm -rf "$ziel"
mkdir -p "$apt_ordner/debs" "$ziel"
(cd "$apt_ordner/debs" && "${apt[@]}" download "${pakete[@]}" > ../download.log 2>&1) ||
    { cat "$apt_ordner/download.log"; exit 1; }
for deb in "$apt_ordner"/debs/*.deb; do
    dpkg -x "$deb" "$ziel"
done
# Debian 13's packages keep everything under /usr; the links /lib -> usr/lib
# and so on come with its base system, not with them.  The same links here,
# so that a program's loader (/lib/ld-linux-...) is found in the folder.
for d in bin sbin lib lib64; do
    if [ ! -e "$ziel/$d" ] && [ -d "$ziel/usr/$d" ]; then
        ln -s "usr/$d" "$ziel/$d"
    fi
done
echo "$inhalt" > "$stempel"
echo "sysroot: $(ls "$apt_ordner/debs" | wc -l) $arch packages of $release unpacked into $ordner"

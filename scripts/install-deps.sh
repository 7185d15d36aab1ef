#!/bin/sh
# Installs what building and testing tolvane needs, from Debian's packages,
# and nothing that is already there.  Usage: install-deps.sh [posix|all]
set -eu
want=${1:-all}

packages=""
need() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed' || packages="$packages $1"; }

need cmake
need g++
need make
need libgtest-dev
need libgmock-dev
need clang             # libFuzzer targets
need libclang-rt-14-dev
need time              # /usr/bin/time -v for the benchmarks' peak memory
command -v python3 >/dev/null 2>&1 || need python3
if [ "$want" = all ]; then
    need g++-mingw-w64-i686-posix
    need wine
    need wine64            # its native wineserver serves 32-bit Wine under the emulator
    need wine32:i386
    need xvfb
    need xdotool
    need osslsigncode      # signing the exes (make sign, make test)
    need openssl           # a throw-away certificate for the signing test
    need unzip             # the archives' contents are checked
fi

[ -z "$packages" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages:$packages (run as root, or install them)" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
case "$packages" in
    *:i386*) dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386 ;;
esac
echo "install-deps: installing$packages"
apt-get update -q
# shellcheck disable=SC2086
apt-get install -y -q $packages

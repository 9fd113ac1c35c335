#!/usr/bin/env bash
# Installs what the builds and tests need and prepares the Wine prefix of a
# build tree. Idempotent, and quick when everything is present.
#   scripts/setup.sh [--prefix DIR]   (default: build/windows/wineprefix)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
prefix="$root/build/windows/wineprefix"
while [ $# -gt 0 ]; do
    case "$1" in
        --prefix) prefix=$2; shift 2 ;;
        *) echo "setup.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done

packages=(
    cmake make g++ clang libclang-rt-14-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 xvfb xdotool x11-utils imagemagick
    locales fonts-arphic-uming python3
    dpkg-dev lintian man-db bash-completion unzip
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

is_debian() { [ -r /etc/debian_version ] && command -v apt-get >/dev/null; }

if [ ${#missing[@]} -gt 0 ]; then
    if is_debian && [ "$(id -u)" = 0 ]; then
        echo "setup: installing ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq "${missing[@]}" >/dev/null
    else
        echo "setup: missing packages: ${missing[*]}" >&2
        if is_debian; then
            echo "setup: run as root: apt-get install ${missing[*]}" >&2
        else
            echo "setup: these are Debian 12 package names; install the equivalents with your system's package manager" >&2
        fi
        exit 1
    fi
fi

# Wine takes its ANSI code page from the locale: zh_CN.UTF-8 gives 936 (GBK).
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    if [ "$(id -u)" = 0 ]; then
        echo "setup: generating the zh_CN.UTF-8 locale"
        sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
        locale-gen >/dev/null
    else
        echo "setup: the zh_CN.UTF-8 locale is missing; as root: enable it in /etc/locale.gen and run locale-gen" >&2
        exit 1
    fi
fi

"$root/scripts/wine-prefix.sh" "$prefix"

#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine (run as root).
# Does nothing when everything is already there.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    NEED_UPDATE=1
fi
for p in g++-mingw-w64-i686 mingw-w64-tools wine wine32:i386 xvfb fonts-wqy-microhei \
         locales googletest cmake make imagemagick; do
    have_pkg "$p" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    echo "installing: ${need[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi

# Wine creates files with Chinese names only under a generated UTF-8 locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi

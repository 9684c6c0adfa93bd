#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine (run as root).
# Does nothing when everything is already there.
#
# A package mirror in the middle of a sync serves an index that does not match its Release file:
# `apt-get update` then fails for that index. The update is retried a few times and the install
# goes on with the lists there are; when that install cannot resolve the packages (typically the
# i386 and amd64 halves of a Multi-Arch library at different versions), it is tried once more with
# the release's own suite as the target release, which has both architectures at one version.
set -euo pipefail

os_release=${OS_RELEASE_FILE:-/etc/os-release}
update_tries=${APT_UPDATE_TRIES:-3}
update_pause=${APT_UPDATE_PAUSE:-10}

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
# The 64-bit compiler and Wine serve machines that run no 32-bit code (see wine-target.sh).
for p in g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools wine wine32:i386 wine64 xvfb fonts-wqy-microhei \
         locales googletest nlohmann-json3-dev cmake make imagemagick; do
    have_pkg "$p" || need+=("$p")
done

update_lists() {
    local try
    for ((try = 1; try <= update_tries; try++)); do
        apt-get update -qq && return 0
        if ((try < update_tries)); then
            echo "install-prereqs: apt-get update failed (try $try of $update_tries), retrying in ${update_pause} s" >&2
            sleep "$update_pause"
        fi
    done
    echo "install-prereqs: some package indexes could not be updated; installing with the lists there are" >&2
}

install_from() {  # install_from [TARGET_RELEASE]
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ${1:+-t "$1"} "${need[@]}" >/dev/null
}

if [ ${#need[@]} -gt 0 ]; then
    echo "installing: ${need[*]}"
    update_lists
    if ! install_from; then
        codename=$( . "$os_release" 2>/dev/null && echo "${VERSION_CODENAME:-}" ) || codename=
        if [ -z "$codename" ]; then
            echo "install-prereqs: apt-get install failed, and $os_release names no release codename to retry with." >&2
            echo "install-prereqs: run 'apt-get update' and 'apt-get install ${need[*]}' by hand to see why." >&2
            exit 1
        fi
        echo "install-prereqs: apt-get install failed; retrying with the release '$codename' as the target release" >&2
        if ! install_from "$codename"; then
            echo "install-prereqs: installing from '$codename' failed too, so the build cannot start." >&2
            echo "install-prereqs: the package mirror may be in the middle of a sync: wait for it, or run" >&2
            echo "install-prereqs: 'apt-get update && apt-get install -t $codename ${need[*]}' by hand to see why." >&2
            exit 1
        fi
        echo "WARNING: the package mirror's indexes were out of step, so these packages came from the" >&2
        echo "WARNING: release '$codename' itself, without its latest security updates: ${need[*]}" >&2
    fi
fi

# Wine creates files with Chinese names only under a generated UTF-8 locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi

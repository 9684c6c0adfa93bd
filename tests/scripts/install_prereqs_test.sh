#!/usr/bin/env bash
# Runs scripts/install-prereqs.sh against stand-in apt-get, dpkg-query, dpkg and locale commands
# (first on PATH: no root, no network, nothing installed) for the ways a package mirror behaves.
set -uo pipefail
script=$(realpath "$(dirname "$0")/../../scripts/install-prereqs.sh")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0

# The stand-ins read their behaviour from files in $work and log every apt-get call.
mkdir -p "$work/bin"
cat > "$work/bin/apt-get" <<'SH'
#!/bin/sh
# Logged as "update", "install" or "install -t RELEASE"; the package list once per install.
case "$*" in
  *update*)  echo update >> "$STUB_DIR/calls"
             n=$(cat "$STUB_DIR/update-fails" 2>/dev/null || echo 0)
             [ "$n" -gt 0 ] && { echo $((n - 1)) > "$STUB_DIR/update-fails"; echo "E: Mirror sync in progress?" >&2; exit 100; }
             exit 0 ;;
  *"-t "*)   echo "install -t $(echo "$*" | sed -E 's/.*-t ([^ ]+).*/\1/')" >> "$STUB_DIR/calls"
             exit "$(cat "$STUB_DIR/target-install-rc" 2>/dev/null || echo 0)" ;;
  *install*) echo install >> "$STUB_DIR/calls"; echo "$*" > "$STUB_DIR/packages"
             exit "$(cat "$STUB_DIR/install-rc" 2>/dev/null || echo 0)" ;;
esac
SH
cat > "$work/bin/dpkg-query" <<'SH'
#!/bin/sh
[ -f "$STUB_DIR/all-installed" ] && printf 'install ok installed' || exit 1
SH
printf '#!/bin/sh\necho i386\n' > "$work/bin/dpkg"
printf '#!/bin/sh\necho zh_CN.utf8\n' > "$work/bin/locale"
chmod +x "$work/bin/"*
printf 'NAME="Debian GNU/Linux"\nVERSION_CODENAME=trixie\n' > "$work/os-release"

# scenario NAME EXPECTED_RC EXPECTED_CALLS [STDERR_PATTERN] -- setup files given as NAME=VALUE
scenario() {
    local name=$1 want_rc=$2 want_calls=$3 pattern=$4; shift 4
    local dir="$work/$name"; mkdir -p "$dir"
    for kv in "$@"; do echo "${kv#*=}" > "$dir/${kv%%=*}"; done
    STUB_DIR=$dir PATH="$work/bin:$PATH" OS_RELEASE_FILE="$work/os-release" APT_UPDATE_PAUSE=0 \
        bash "$script" > "$dir/out" 2> "$dir/err"
    local rc=$?
    local calls; calls=$(paste -sd';' "$dir/calls" 2>/dev/null)
    local why=
    [ "$rc" = "$want_rc" ] || why="exit code $rc, expected $want_rc"
    [ "$calls" = "$want_calls" ] || why="$why; apt calls '$calls', expected '$want_calls'"
    [ -z "$pattern" ] || grep -qE "$pattern" "$dir/err" || why="$why; standard error lacks /$pattern/: $(cat "$dir/err")"
    if [ -z "$why" ]; then passed=$((passed + 1)); echo "ok: $name"
    else failed=$((failed + 1)); echo "FAILED: $name: $why"; fi
}

scenario all-installed 0 "" "" all-installed=1
scenario healthy-mirror 0 "update;install" ""
# The plain install asks for every missing package, Wine's i386 and amd64 halves included.
grep -q 'install -y -qq g++-mingw-w64-i686 g++-mingw-w64-x86-64 .* wine32:i386 wine64 ' "$work/healthy-mirror/packages" \
    && { passed=$((passed + 1)); echo "ok: package list"; } \
    || { failed=$((failed + 1)); echo "FAILED: package list: $(cat "$work/healthy-mirror/packages")"; }
scenario update-fails-then-install-works 0 \
    "update;update;update;install" \
    "installing with the lists there are" update-fails=5
scenario update-recovers-on-retry 0 "update;update;install" \
    "try 1 of 3" update-fails=1
scenario target-release-install-works 0 \
    "update;update;update;install;install -t trixie" \
    "WARNING: .*release 'trixie' itself, without its latest security updates" \
    update-fails=5 install-rc=100
scenario both-installs-fail 1 \
    "update;install;install -t trixie" \
    "installing from 'trixie' failed too.*|wait for it" install-rc=100 target-install-rc=100

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]

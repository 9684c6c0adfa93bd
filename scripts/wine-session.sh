# Sourced by the scripts that run the programs (test, demo, bench, pictures): what each needs
# before its work, in one place and in this order.
#   wine_session_prepare BUILD_DIR
#       installs the prerequisites, once per command (a script this one starts, build.sh
#       included, finds them done), and chooses the build this machine's Wine runs: sets
#       wine_build and wine_toolchain (see wine-target.sh); returns 1 when no Wine runs here.
#   wine_session_start PREFIX_NAME [BEFORE_SERVER]
#       makes the prefix PREFIX_NAME of wine_build once and takes its environment; runs the
#       function BEFORE_SERVER, which writes what the wineserver reads when it starts (its own
#       wine commands start a passing server, waited for); then starts one wineserver with the
#       spooler, stopped when the script exits, after the function named in
#       wine_session_cleanup when the script sets one.
wine_session_prepare() {
    if [ "${PROJECT_PREREQS_READY:-}" != 1 ]; then
        bash scripts/install-prereqs.sh || return 1
        export PROJECT_PREREQS_READY=1
    fi
    . scripts/wine-target.sh
    wine_target "$1"
}

wine_session_stop() {
    [ -z "${wine_session_cleanup:-}" ] || "$wine_session_cleanup"
    wineserver -k >/dev/null 2>&1 || true
}

wine_session_start() {
    bash scripts/wine-prefix.sh "$wine_build" "$1" || return 1
    . scripts/wine-env.sh "$wine_build" "$1"
    if [ -n "${2:-}" ]; then
        "$2"
        wineserver -w
    fi
    wineserver -p 2>/dev/null || true  # one already serving this prefix is used as it is
    trap wine_session_stop EXIT
    wine net start spooler >/dev/null 2>&1 || true  # already running is fine
}

# Sourced by the scripts that run the programs: which build this machine's Wine can run.
#   wine_target BUILD_DIR
# The programs are 32-bit and run under 32-bit Wine: sets wine_build=BUILD_DIR and
# wine_toolchain=i686. A kernel without 32-bit x86 emulation starts no 32-bit program at all;
# there the same sources are built for 64-bit Windows and run under 64-bit Wine instead, so that
# they are still run and tested: wine_build=BUILD_DIR-x64, wine_toolchain=x86_64, said on the
# standard error. Returns 1 when neither Wine runs here. Expects the prerequisites installed.
wine_target() {
    if bash scripts/wine-usable.sh 2>/dev/null; then
        wine_build=$1 wine_toolchain=i686
        return 0
    fi
    bash scripts/wine-usable.sh || true
    bash scripts/wine-usable.sh 64 || return 1
    # A folder already named for the 64-bit build (a script handing on what it was given) stays.
    case $1 in *-x64) wine_build=$1 ;; *) wine_build=$1-x64 ;; esac
    wine_toolchain=x86_64
    echo "NOTE: so the programs run as a 64-bit build of the same sources under 64-bit Wine," \
         "in $wine_build. What only a 32-bit process shows is not covered there." >&2
}

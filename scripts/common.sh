# Stages shared by setup.sh and test.sh; sourced, not run.
# PALLOWIN_ROOT is the source tree, PALLOWIN_BUILD_DIR the build (default build/).

PALLOWIN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
PALLOWIN_BUILD_DIR=${PALLOWIN_BUILD_DIR:-$PALLOWIN_ROOT/build}
PALLOWIN_JOBS=${PALLOWIN_JOBS:-$(nproc 2>/dev/null || echo 2)}

stage() {
    echo
    echo "==> $*"
}

# Installs whatever in scripts/packages.txt is missing; apt is left alone
# when everything is there already.
install_packages() {
    stage "Checking the packages in scripts/packages.txt"
    list=$PALLOWIN_ROOT/scripts/packages.txt
    [ -f "$list" ] || { echo "no package list at $list" >&2; return 1; }
    missing=
    for package in $(grep -v '^[[:space:]]*#' "$list"); do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing="$missing $package"
        fi
    done
    if [ -z "$missing" ]; then
        echo "all installed"
        return 0
    fi
    echo "missing:$missing"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Run this script as root to install them." >&2
        return 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    # shellcheck disable=SC2086
    apt-get install -y --no-install-recommends $missing
}

configure_and_build() {
    stage "Configuring and building $PALLOWIN_BUILD_DIR (native, i686 and x86_64)"
    cmake -S "$PALLOWIN_ROOT" -B "$PALLOWIN_BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$PALLOWIN_BUILD_DIR" -j "$PALLOWIN_JOBS"
}

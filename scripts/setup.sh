#!/usr/bin/env bash
# Installs everything the project builds and tests with, from Debian's packages:
# cmake, GoogleTest and Google Benchmark, the mingw-w64 cross compilers and widl,
# clang with libFuzzer and its sanitizer runtimes (the core's fuzzer),
# clang-format-14 (scripts/format.sh), and Wine for 32-bit and 64-bit Windows
# programs. Idempotent: when everything is present it only re-proves that Wine
# runs both kinds of program.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

native_pkgs=(cmake make g++ python3 googletest libgtest-dev libbenchmark-dev liblapack-dev
             g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
             wine wine64 libwine-dev clang libclang-rt-14-dev libfuzzer-14-dev clang-format-14)
i386_pkgs=(wine32:i386)

missing() {
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            echo "$p"
        fi
    done
}

apt_update() {
    # A partially synced mirror (for example the i386 security index) makes
    # apt-get update fail although most indexes arrived; carry on with what came.
    $SUDO apt-get update -q || echo "setup: apt-get update reported errors; continuing with the indexes that arrived" >&2
}

install_i386_wine() {
    if $SUDO apt-get install -y -q --no-install-recommends "${i386_pkgs[@]}"; then
        return 0
    fi
    # The security index may hold amd64 updates that have no i386 twin yet,
    # which makes the multi-arch pair unresolvable. Prefer the main release,
    # let apt downgrade the amd64 halves to versions that do have a twin.
    echo "setup: retrying wine32 with the security suite pinned below the release" >&2
    printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' |
        $SUDO tee /etc/apt/preferences.d/corvane-wine32 >/dev/null
    local downgrades=() p ver
    # Multi-arch libraries that wine32 pulls in and whose installed amd64
    # version is ahead of the i386 candidate must move back in step.
    for p in $(apt-cache depends --recurse --no-recommends --no-suggests \
                 --no-conflicts --no-breaks --no-replaces --no-enhances wine32:i386 2>/dev/null |
               grep -E '^[a-z0-9]' | grep ':i386$' | sed 's/:i386$//' | sort -u); do
        ver=$(dpkg-query -W -f='${Version}' "$p:amd64" 2>/dev/null || true)
        [ -n "$ver" ] || continue
        local cand
        cand=$(apt-cache policy "$p:i386" 2>/dev/null | awk '/Candidate:/ {print $2}')
        if [ -n "$cand" ] && [ "$cand" != "(none)" ] && [ "$cand" != "$ver" ]; then
            downgrades+=("$p:amd64=$cand")
        fi
    done
    $SUDO apt-get install -y -q --allow-downgrades --no-install-recommends \
        "${i386_pkgs[@]}" "${downgrades[@]}"
}

need=$(missing "${native_pkgs[@]}")
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    need="$need i386-arch"
fi
need32=$(missing "${i386_pkgs[@]}")
if [ -n "$need$need32" ]; then
    echo "setup: installing:" $need $need32
    apt_update
    if [ -n "$(missing "${native_pkgs[@]}")" ]; then
        $SUDO apt-get install -y -q --no-install-recommends "${native_pkgs[@]}"
    fi
    if [ -n "$(missing "${i386_pkgs[@]}")" ]; then
        install_i386_wine
    fi
fi

# The Wine prefix exists before any test runs (parallel tests must not race to create it).
source "$here/wine-env.sh"
wine_prefix_ready || { echo "setup: could not create the Wine prefix $WINEPREFIX" >&2; exit 1; }

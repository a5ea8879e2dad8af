#!/bin/sh
# Cross-builds the engine, both programs, the generator and their tests for
# 64-bit Windows on Debian 12, and runs the tests under Wine.
#
#   tools/windows.sh [BUILD_DIR]        (default: build-windows; run as root)
#
# 1. Installs Debian's MinGW-w64 cross compiler (posix threads) and Wine, and
#    adds a deb-src entry for the Debian mirror this machine already uses.
# 2. Builds, once, into BUILD_DIR/deps: freeglut from Debian's own source
#    package (static, FREEGLUT_REPLACE_GLUT=ON) and GoogleTest from
#    /usr/src/googletest, both with cmake/mingw-w64-x86_64.cmake.
# 3. Configures and builds the project in BUILD_DIR with that toolchain. The
#    programs are linked statically: they need no MinGW DLL.
# 4. Runs the tests with ctest; every .exe runs under Wine, with one Wine
#    server kept alive for the whole run and its own Wine prefix in
#    BUILD_DIR/wine.
set -eu
cd "$(dirname "$0")/.."
raiz=$PWD
build=${1:-build-windows}
mkdir -p "$build"
build=$(cd "$build" && pwd)
deps="$build/deps"
toolchain="$raiz/cmake/mingw-w64-x86_64.cmake"

instalar_paquetes() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "tools/windows.sh: run as root (it installs Debian packages with apt-get)" >&2
        exit 1
    fi
    # deb-src for the mirror of the machine's own deb entries.
    fuentes=/etc/apt/sources.list.d/talo-fuentes.sources
    if [ ! -f "$fuentes" ]; then
        espejo=$(sed -n 's/^URIs: *\(.*debian\/\{0,1\}\) *$/\1/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
        if [ -z "$espejo" ]; then
            espejo=$(sed -n 's/^deb \(\[[^]]*\] \)\{0,1\}\([^ ]*\) bookworm .*/\2/p' /etc/apt/sources.list 2>/dev/null | head -n 1)
        fi
        espejo=${espejo:-http://deb.debian.org/debian}
        printf 'Types: deb-src\nURIs: %s\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
            "$espejo" > "$fuentes"
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends \
        g++-mingw-w64-x86-64-posix wine64 wine dpkg-dev cmake make \
        googletest xvfb xauth xdotool imagemagick python3
}

construir_dependencias() {
    if [ -f "$deps/listo" ]; then return; fi
    rm -rf "$deps"
    mkdir -p "$deps/fuentes"
    (cd "$deps/fuentes" && apt-get source --download-only freeglut && dpkg-source -x freeglut_*.dsc freeglut)
    cmake -S "$deps/fuentes/freeglut" -B "$deps/freeglut" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/prefijo" \
        -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON \
        -DFREEGLUT_REPLACE_GLUT=ON -DFREEGLUT_BUILD_DEMOS=OFF
    cmake --build "$deps/freeglut" -j2
    cmake --install "$deps/freeglut"
    cmake -S /usr/src/googletest -B "$deps/googletest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/prefijo"
    cmake --build "$deps/googletest" -j2
    cmake --install "$deps/googletest"
    touch "$deps/listo"
}

instalar_paquetes
construir_dependencias

# One Wine prefix for the build (test discovery, the generator) and the tests.
export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver -k 2>/dev/null || true
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
wineboot --init >/dev/null 2>&1

# With a Linux build of the same sources beside it (the README's build/),
# the tests also compare the loaders' results and the generated scene with
# that build's.
linux=""
if [ -x "$raiz/build/tests/plataformas/huellas" ]; then
    linux="$raiz/build"
else
    echo "tools/windows.sh: no Linux build in build/; the Linux-against-Windows comparisons are left out" >&2
fi
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTALO_WINDOWS_DEPS="$deps/prefijo" \
    -DTALO_BUILD_LINUX="$linux"
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2

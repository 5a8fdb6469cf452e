# Configures and builds the trees (sourced by scripts/test, bench, gui-bench and demo).
# build_native / build_sanitize / build_win: 0 when the tree is built.
quorx_native=build/native
quorx_sanitize=build/sanitize
quorx_win=build/win

build_native() {
    cmake -S . -B "$quorx_native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
        cmake --build "$quorx_native" -j "$(nproc)" -- --no-print-directory >/dev/null
}

# The native tree once more with AddressSanitizer and UndefinedBehaviorSanitizer;
# the first report ends the program.
build_sanitize() {
    cmake -S . -B "$quorx_sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE=ON >/dev/null &&
        cmake --build "$quorx_sanitize" -j "$(nproc)" -- --no-print-directory >/dev/null
}

build_win() {
    cmake -S . -B "$quorx_win" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
        -DQUORX_NATIVE_DIR="$PWD/$quorx_native" >/dev/null &&
        cmake --build "$quorx_win" -j "$(nproc)" -- --no-print-directory >/dev/null
}

# For the scripts that run the Windows programs (scripts/lib/packages.sh sourced
# too, from the top of the tree): installs missing packages, builds both trees
# and makes the test prefix ready, with WINEPREFIX, WINEDEBUG and
# QUORX_PORTS_DIR exported.
prepare_wine_run() {
    ensure_packages || { echo "package installation failed" >&2; return 1; }
    echo "Building..."
    build_native || { echo "the native build failed" >&2; return 1; }
    build_win || { echo "the Windows build failed" >&2; return 1; }
    export WINEPREFIX="$PWD/$quorx_win/wineprefix" WINEDEBUG=-all \
        QUORX_PORTS_DIR="$PWD/$quorx_win/ports"
    scripts/wine-prefix ensure "$WINEPREFIX" "$QUORX_PORTS_DIR"
}

# Configures and builds the trees (sourced by scripts/test and scripts/demo).
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

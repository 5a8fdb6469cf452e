# Installs the Debian packages the builds and tests need; nothing when all are there.
quorx_packages=(
    cmake make g++ libgtest-dev googletest clang clang-format
    g++-mingw-w64-x86-64-posix wine wine64
    xvfb xauth x11-utils imagemagick socat fonts-dejavu-core procps python3-minimal
    cups cups-client printer-driver-cups-pdf poppler-utils
)

ensure_packages() {
    local missing=() p
    for p in "${quorx_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq &&
        $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

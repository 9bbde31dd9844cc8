#!/usr/bin/env bash
# Installs the Debian packages Rigsmith needs to build, test and run, when missing;
# qlcplus-data gives the Fixture Library its QLC+ fixtures (tests never read it).
# Extra profiles: `fuzz` (clang with libFuzzer), `bench` (Google Benchmark), `package` (dpkg tools).
set -euo pipefail

packages=(
    cmake make g++ pkg-config python3
    qt6-base-dev qt6-base-dev-tools libgl-dev libqt6svg6 qt6-l10n-tools
    libgtest-dev libgmock-dev
    xvfb xauth xdotool
    poppler-utils fonts-dejavu-core
    shared-mime-info libglib2.0-bin
    libzip-dev
    qlcplus-data
)
for profile in "$@"; do
    case "$profile" in
        fuzz) packages+=(clang libclang-rt-14-dev) ;;
        bench) packages+=(libbenchmark-dev) ;;
        package) packages+=(dpkg-dev file lintian) ;;
        *) echo "unknown profile: $profile" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "Missing packages (${missing[*]}) and no sudo to install them; install them as root." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

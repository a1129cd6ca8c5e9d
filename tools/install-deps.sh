#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing need, only those that are missing.
set -euo pipefail
# shellcheck source=tools/on-error.sh
. "$(dirname "${BASH_SOURCE[0]}")/on-error.sh"

packages=(
  cmake
  ninja-build
  g++-mingw-w64-x86-64-posix
  gcc-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev
  googletest
  wine
  wine64
  xvfb
  xauth
  python3
  python3-cryptography
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs and that are not installed yet.
#   install-deps.sh         what building and running the dashboard needs
#   install-deps.sh test    also what the tests need (X virtual frame buffer, software GL, fonts, clang)
set -euo pipefail
pkgs=(cmake make g++ pkg-config qtbase5-dev libqt5svg5-dev libqt5opengl5-dev libjsoncpp-dev libminizip-dev
      zlib1g-dev libgl1-mesa-dri fonts-wqy-microhei fonts-dejavu-core qttools5-dev)
if [ "${1:-}" = test ]; then
  pkgs+=(xvfb xauth clang libclang-rt-14-dev)
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

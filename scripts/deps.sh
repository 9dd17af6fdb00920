#!/usr/bin/env bash
# Installs everything the build, the terminal and the tests need.
# Idempotent: packages that are already there are skipped, so a second run is quick.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

debs=(
  build-essential cmake ninja-build ccache pkg-config
  qtbase5-dev qtbase5-dev-tools qtdeclarative5-dev qtwebengine5-dev libqt5webchannel5-dev
  libqt5sql5-sqlite libqt5sql5-psql libpq-dev postgresql libqt5svg5-dev
  libcpp-httplib-dev libxlsxwriter-dev libbenchmark-dev
  xvfb xauth x11-utils fonts-noto-cjk fonts-wqy-microhei
  python3-openpyxl python3-pandas sqlite3
  clang libclang-rt-dev zlib1g-dev
)

# Node.js and npm may come from another source than Debian's packages; only
# install Debian's when there is none at all.
command -v npm >/dev/null 2>&1 || debs+=(nodejs npm)

missing=()
for p in "${debs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Front-end packages (ECharts and the map of China) pinned by package-lock.json.
if [ -f "$here/package.json" ]; then
  if [ ! -d "$here/node_modules" ] || [ "$here/package-lock.json" -nt "$here/node_modules" ]; then
    (cd "$here" && npm ci --no-audit --no-fund --loglevel=error)
    touch "$here/node_modules"
  fi
fi

#!/usr/bin/env bash
# Installs what this project needs from Debian's packages, only when missing.
set -euo pipefail
packages=(build-essential cmake pkg-config qt6-base-dev libsqlite3-dev
          googletest libgtest-dev libgmock-dev libbenchmark-dev
          fonts-arphic-uming xvfb xauth sqlite3
          qt6-translations-l10n desktop-file-utils
          python3-fonttools fonts-dejavu-core fonts-sil-andika)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi

#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build, the tests, the
# benchmarks and the fuzz targets need. Safe to run again: it installs only
# what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git python3
  clang-14 libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libpugixml-dev nlohmann-json3-dev
  libproj-dev proj-data proj-bin sqlite3 zlib1g-dev libtiff-dev
  libgeographiclib-dev geographiclib-tools
  qt6-base-dev libgl-dev fonts-noto-cjk qt6-translations-l10n
  locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A comma-decimal locale, so the tests can prove that files are written with
# "." whatever the host's locale is.
if ! locale -a 2>/dev/null | grep -qi '^de_DE.utf8$'; then
  if [ "$(id -u)" -eq 0 ]; then localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 || true; fi
fi

#!/usr/bin/env bash
# Installs every Debian package the project builds, tests or benchmarks with.
# Idempotent: packages already present are left alone. The only place that installs anything.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libboost-filesystem-dev libboost-system-dev
  libminizip-dev zlib1g-dev
  ableton-link-dev libasio-dev
  libcairo2-dev
  libjack-jackd2-dev jackd2 libasound2-dev
  libx11-dev libxi-dev libxtst-dev xvfb x11-utils xdotool
  lv2-dev liblilv-dev lilv-utils jalv libsuil-0-0 sordi
  clang libclang-rt-14-dev
  locales
)

# A decimal-comma locale, so that tests can prove stored numbers ignore the process locale.
ensure_test_locale() {
  if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    return 0
  fi
  $SUDO sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
ensure_test_locale

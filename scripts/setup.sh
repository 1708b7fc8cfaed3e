#!/usr/bin/env bash
# Installs every Debian package the builds, tests, benchmarks and the demonstration need.
# Idempotent: it asks dpkg what is missing and runs apt-get only for that.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3
  libssl-dev libcurl4-openssl-dev libpugixml-dev nlohmann-json3-dev
  googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686-posix wine wine32:i386
  clang libclang-rt-14-dev
  libcups2-dev libcairo2-dev cups cups-daemon poppler-utils ghostscript socat
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
else
  echo "setup: all packages present"
fi

#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, with `lint` those of `make lint`
# too, and with `bench` those of scripts/bench.sh; does nothing when all are there. A package
# named with an architecture (wine32:i386, the 32-bit Wine that runs the x86 helper) is looked
# up for that architecture, which is added to dpkg's foreign ones first when it is not among
# them yet.
set -euo pipefail

packages=(
  cmake ninja-build g++ make
  libgtest-dev libgmock-dev libbenchmark-dev
  libssl-dev openssl
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 osslsigncode
  clang libclang-rt-14-dev
  wine wine64 wine32:i386 xvfb xdotool liblnk-utils
)
if [ "${1:-}" = lint ]; then
  packages+=(clang-format-14 clang-tidy-14 cppcheck)
fi
if [ "${1:-}" = bench ]; then
  packages+=(time)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  sudo=sudo
else
  sudo=
fi
export DEBIAN_FRONTEND=noninteractive
for package in "${missing[@]}"; do
  case "$package" in
    *:*)
      arch=${package#*:}
      if [ "$arch" != "$(dpkg --print-architecture)" ] &&
        ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
        $sudo dpkg --add-architecture "$arch"
      fi
      ;;
  esac
done
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

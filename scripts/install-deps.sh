#!/usr/bin/env bash
# Installs the Debian packages that building, running, testing and packaging Mozenta need. Does nothing when
# they are all present. Runs apt-get as root, or through sudo.
#   --packaging  also the tools that check the package and redraw the icon (lintian, debootstrap, ...)
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg-dev libjpeg-turbo-progs libpng-dev libvips-dev libvips-tools
  nlohmann-json3-dev nettle-dev
  qt6-base-dev libxkbcommon-dev qt6-translations-l10n fonts-ipafont-gothic libx11-dev libxft-dev
  libcairo2-dev libpango1.0-dev poppler-utils
  clang libclang-rt-14-dev
  time file
  xvfb openbox x11-utils x11-apps xdotool
)

if [[ "${1:-}" == "--packaging" ]]; then
  packages+=(lintian debootstrap desktop-file-utils appstream librsvg2-bin)
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
  apt=(apt-get)
elif command -v sudo >/dev/null 2>&1; then
  apt=(sudo apt-get)
else
  echo "install-deps: need root or sudo to install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${apt[@]}" update -qq
"${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"

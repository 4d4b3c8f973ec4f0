# Shared by scripts/run and scripts/test: Debian packages installed only when
# missing, so a second run starts building at once.

cd "$(dirname "${BASH_SOURCE[0]}")/../.."

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

# What a Linux build of the program and its tests needs.
linux_build_packages=(cmake ninja-build g++ ccache pkg-config libsystemd-dev libgtest-dev libgmock-dev qt6-base-dev qt6-base-private-dev fonts-liberation qt6-translations-l10n librsvg2-bin)

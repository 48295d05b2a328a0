#!/usr/bin/env bash
# Builds the Debian package from the normal build, has lintian check it,
# installs it as a user would, runs its programs and purges it again, failing
# if any of its files stays behind. Runs as root (apt-get) on a machine where
# the package is not installed yet, as CI does after ./test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh lintian
if dpkg-query -W -f='${Status}' wavecrate 2>/dev/null | grep -q "install ok installed"; then
  echo "wavecrate is installed already; this check installs and purges it itself" >&2
  exit 1
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWAVECRATE_WERROR=ON >/dev/null
cmake --build build -j "$(nproc)" --target installable
rm -f build/wavecrate_*.deb
(cd build && cpack -G DEB)
debs=(build/wavecrate_*.deb)
deb=${debs[0]}
lintian --fail-on error "$deb"

export DEBIAN_FRONTEND=noninteractive
apt-get install -y "./$deb"
mapfile -t files < <(dpkg -L wavecrate)
# Installed on PATH and runnable without a display.
(cd / && env -u DISPLAY -u WAYLAND_DISPLAY wavecrate --version)
(cd / && wavecrate-export --help)
apt-get purge -y wavecrate

# Whatever still exists of the package's paths must belong to another
# package (the shared folders such as /usr/bin).
left=()
for f in "${files[@]}"; do
  [ "$f" = "/." ] && continue
  if [ -e "$f" ] || [ -L "$f" ]; then
    dpkg -S "$f" >/dev/null 2>&1 || left+=("$f")
  fi
done
if ((${#left[@]})); then
  echo "left behind after purging wavecrate:" >&2
  printf '  %s\n' "${left[@]}" >&2
  exit 1
fi
echo "wavecrate package: built, lintian-clean, installed, ran and purged without leftovers"

#!/usr/bin/env bash
# Installs what is missing, builds the program (Release) and starts it. On the first start the program
# opens the bundled sample study: its companion files (data path and last file) are seeded once.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRIX_WERROR=OFF >/dev/null
cmake --build build-release --target veltrix
if [ ! -e build-release/veltrix.fil ]; then
  printf '%s\r\n' "$PWD/data/studie.dt1" > build-release/veltrix.fil
  printf '%s\r\n' "$PWD/data" > build-release/veltrix.pth
fi
exec ./build-release/veltrix "$@"

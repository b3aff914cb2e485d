#!/usr/bin/env bash
# Installs what is missing, builds a release build in build/, and starts the editor.
set -euo pipefail
cd "$(dirname "$0")"
source ./deps.sh
quarry_install_deps
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUARRY_BUILD_TESTS=OFF
cmake --build build
if [ -x build/bin/Corvantine-Editor ]; then
  exec build/bin/Corvantine-Editor "$@"
fi
echo "The editor is not part of this build yet. Built programs and libraries:"
find build/bin -maxdepth 1 -type f \( -perm -u+x -o -name '*.so*' \) -printf '  %f\n' | sort

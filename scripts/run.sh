#!/usr/bin/env bash
# Builds the program and starts a chat with the default mind.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESKO_BUILD_TESTS=OFF >/dev/null
cmake --build build-release
exec build-release/vesko "$@"

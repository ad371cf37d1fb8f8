#!/usr/bin/env bash
# Builds the release panel and packs it as a ZIP and a Windows installer (NSIS) in build/release.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
(cd build/release && cpack -G "ZIP;NSIS")
ls -l build/release/Quenmarel-*-win64.*

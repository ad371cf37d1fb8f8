#!/usr/bin/env bash
# Builds the release panel and packs it as a ZIP and a Windows installer (NSIS) in build/release.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target Quenmarel
# Packages of an earlier version would sit beside the new ones and be taken for them.
rm -f build/release/Quenmarel-*-win64.*
(cd build/release && cpack -G "ZIP;NSIS")
ls -l build/release/Quenmarel-*-win64.*

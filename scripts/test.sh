#!/usr/bin/env bash
# Builds the panel and every test for Windows, and the release build, then runs all tests under Wine (on a
# virtual display when there is no display). Exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw
# The release preset as users get it (-O3, warnings as errors too), every target; its packages are made by
# the installer test's fixture (scripts/package.sh) and installed in a Wine prefix of that test's own.
cmake --preset release >/dev/null
cmake --build --preset release

run=(ctest --preset mingw "$@")
if [ -z "${DISPLAY:-}" ]; then
  run=(xvfb-run -a -s "-screen 0 1600x1200x24" "${run[@]}")
fi
"${run[@]}"

# The native fuzzers, each for a bounded time (QM_FUZZ_SECONDS, default 40 s); fails on any finding.
scripts/fuzz.sh

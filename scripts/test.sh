#!/usr/bin/env bash
# Builds the panel and every test for Windows, and the release build, then runs all tests under Wine, each
# test that runs Windows programs under this machine's Wine 8 and under Wine 10 from the Debian 13 root that
# scripts/wine10-root.sh makes (on a virtual display when there is no display), and the fuzzers. Exits
# non-zero when any test fails. Arguments go to ctest: `scripts/test.sh -L wine10` runs the Wine 10 tests.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
# The Debian 13 root with Wine 10, made once per machine, while the programs build (mostly downloading).
root_log="$(mktemp)"
scripts/wine10-root.sh >"$root_log" 2>&1 &
root=$!
cmake --preset mingw >/dev/null
# The build tree's Wine prefixes (one a lane of test programs with windows, see cmake/wine-run.sh.in), three
# for each Wine, are made while the programs build: making one is mostly waiting for Wine's own services,
# and the first test of each lane would otherwise wait for it.
prefix_log="$(mktemp)"
prefixes=()
make_prefixes() {  # make_prefixes WINE
  for lane in 1 2 3; do
    QM_WINE=$1 QM_WINE_LANE=$lane QM_NEEDS_DISPLAY=$((lane > 1)) build/mingw/wine-run.sh cmd.exe /c exit 0 \
      >>"$prefix_log" 2>&1 &
    prefixes+=($!)
  done
}
make_prefixes 8
cmake --build --preset mingw
if ! wait "$root"; then
  cat "$root_log" >&2
  echo "test: the Debian 13 root with Wine 10 could not be made (scripts/wine10-root.sh)" >&2
  exit 1
fi
rm -f "$root_log"
make_prefixes 10
# The release preset as users get it (-O3, warnings as errors too), every target; its packages are made by
# the installer test's fixture (scripts/package.sh) and installed in a Wine prefix of that test's own.
cmake --preset release >/dev/null
cmake --build --preset release
for prefix in "${prefixes[@]}"; do
  wait "$prefix" || { cat "$prefix_log" >&2; echo "test: a Wine prefix could not be made" >&2; }
done
rm -f "$prefix_log"

# Packages that earlier versions of the tests left in build/release are signed by their throwaway signer, not
# by the vendor; they go, so that build/release never holds a package that could be shipped by mistake.
for package in build/release/Quenmarel-*-win64.exe; do
  if [ -f "$package" ] && osslsigncode verify -in "$package" 2>/dev/null | grep -q "CN=Quenmarel throwaway signer"; then
    echo "test: removing the test-signed packages from build/release" >&2
    rm -rf build/release/Quenmarel-*-win64.* build/release/SHA256SUMS build/release/programs build/release/unsigned
  fi
done

# The native fuzzers build while the Windows tests run, which leave the processors idle much of the time.
fuzz_build_log="$(mktemp)"
nice -n 19 scripts/fuzz.sh --build >"$fuzz_build_log" 2>&1 &
fuzz_build=$!

run=(ctest --preset mingw "$@")
if [ -z "${DISPLAY:-}" ]; then
  run=(xvfb-run -a -s "-screen 0 1600x1200x24" "${run[@]}")
fi
status=0
"${run[@]}" || status=$?

if ! wait "$fuzz_build"; then
  cat "$fuzz_build_log" >&2
  rm -f "$fuzz_build_log"
  exit 1
fi
rm -f "$fuzz_build_log"
[ "$status" = 0 ] || exit "$status"

# The native fuzzers side by side, each for a bounded time (QM_FUZZ_SECONDS, default 30 s of a core); fails
# on any finding.
scripts/fuzz.sh

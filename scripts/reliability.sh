#!/usr/bin/env bash
# Runs the reliability suite (CTest label "reliability", under Wine) and the bounded native fuzzing, collects
# the FIGURE lines they print and writes them to docs/RELIABILITY.md as one table, with the date, this
# command and the machine's facts. Exits non-zero when any figure misses its goal or a run fails; the
# document is written either way, failures included.
#   scripts/reliability.sh          # 40 s a fuzzer
#   scripts/reliability.sh 600      # ten minutes a fuzzer
#   scripts/reliability.sh --day    # also the trading day through a vendor outage (some 25 minutes more):
#                                   # ten BUY presses 18.5 s apart and two 10-minute soaks, in the panel's process
# QM_BUILD_DIR picks the Windows build tree (default build/mingw, the README's);
# QM_RELIABILITY_REPLACES changes how many replaces each concurrency run makes.
set -uo pipefail
cd "$(dirname "$0")/.."

day=0
if [ "${1:-}" = --day ]; then
  day=1
  shift
fi
fuzz_seconds=${1:-40}
build=${QM_BUILD_DIR:-build/mingw}
out=docs/RELIABILITY.md
log=$(mktemp)
trap 'rm -f "$log"' EXIT

scripts/install-deps.sh || exit 1
cmake --preset mingw -B "$build" >/dev/null || exit 1
cmake --build "$build" --target reliability_programs || exit 1

ctest --test-dir "$build" -L reliability --verbose >"$log" 2>&1
ctest_status=$?
if [ "$day" -eq 1 ]; then
  # The day's rows are the panel-process test's disabled instantiation, one after another (one panel open);
  # its short rows run again with them.
  GTEST_ALSO_RUN_DISABLED_TESTS=1 \
    ctest --test-dir "$build" -R '^reliability_panel_process_tests$' --timeout 3600 --verbose >>"$log" 2>&1 ||
    ctest_status=1
fi
scripts/fuzz.sh "$fuzz_seconds" >>"$log" 2>&1
fuzz_status=$?

# "12: FIGURE name | value | goal | verdict" (CTest prefixes verbose lines with the test's number).
figures=$(sed -n 's/^\([0-9][0-9]*: \)\{0,1\}FIGURE //p' "$log")
count() { grep -c "| $1\$" <<<"$figures" || true; }

# What the suite cannot measure yet (area|what|goal|why); empty when everything is measured.
pending=()

{
  echo "# Reliability and security figures"
  echo
  echo "Made by \`scripts/reliability.sh$([ "$day" -eq 1 ] && echo " --day")${1:+ $1}\` on $(date -u '+%Y-%m-%d %H:%M UTC'). Each figure is printed by a test"
  echo "as a \`FIGURE\` line (tests/support/figures.h) and collected here; a figure that misses its goal fails"
  echo "its test, so CI (\`.ci/run\`) fails with it."
  echo
  echo "Machine: $(. /etc/os-release 2>/dev/null && echo "$PRETTY_NAME"), $(uname -sr), $(nproc) cores" \
       "($(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)), $(wine --version 2>/dev/null)," \
       "$(clang++ --version 2>/dev/null | head -1)."
  echo
  echo "Result: $(count pass) met, $(count fail) missed, $(count skip) skipped, $(count info) for information."
  echo
  echo "| Area | Figure | Value | Goal | Result |"
  echo "|---|---|---|---|---|"
  while IFS= read -r line; do
    [ -n "$line" ] || continue
    IFS='|' read -r name value goal verdict <<<"$line"
    name=$(echo "$name" | sed 's/[[:space:]]*$//')
    area=$(echo "$name" | sed 's/[,:].*//')
    detail=$(echo "$name" | sed 's/^[^,:]*[,:][[:space:]]*//')
    echo "| $area | $detail |$value|$goal| $(echo "$verdict" | tr -d ' ') |"
  done <<<"$figures"
  for row in ${pending[@]+"${pending[@]}"}; do
    IFS='|' read -r area what goal why <<<"$row"
    echo "| $area | $what | not measured yet | $goal | pending: $why |"
  done
  echo
  echo "## What the figures mean"
  echo
  echo "- **concurrency**: a reader process (tests/reliability/exchange_reader.cpp) opens, reads and closes every"
  echo "  exchange file back to back while the test replaces them through the panel's writers. A torn or empty read"
  echo "  is anything other than one of the two whole lines the file alternates between. The truncate-and-write"
  echo "  row runs the same reader against a deliberately naive writer: it must see torn reads, or the reader"
  echo "  could not tell. A reader that does not share deletion (as a terminal opening a file for reading) can have"
  echo "  an open refused for the instant the rename holds the file; it gets no data, never wrong data, and reads"
  echo "  again."
  echo "- **file-system fault**: every writer meets the fault; the status line must show the classic failure, every"
  echo "  exchange file must stay byte-for-byte as it was, no temporary file may remain, and the next write after the"
  echo "  fault is gone must succeed. The full disk is a 64 KiB tmpfs mapped as drive Q: (needs root to mount;"
  echo "  skipped, and shown so, where mounting is not permitted)."
  echo "- **hostile text**: the real main window, created in the test program with a recording message box and"
  echo "  the vendor pointed at a loopback port where nothing listens. Every text box holds, in turn, 100,000 and"
  echo "  1,000,000 characters, every C0 control character but NUL, characters outside the ANSI code page, bidi"
  echo "  controls, lone surrogates, shell and markup characters, and CR LF, LF or CR inside a value; then every order,"
  echo "  close and delete button and Send Parameters is pressed with 5 digits on a live account and with 4 digits in"
  echo "  back-test. A crash is a press after which the window is gone or its status line empty. Every exchange file"
  echo "  must be one line (the value, CR LF, no other CR or LF). A box can hold a line break (text pasted or set"
  echo "  from code); the file then carries the box's first line, trimmed of spaces, for the text and the five-digit"
  echo "  number alike, because the Expert Advisor reads one line. The path box gets hostile paths the same way."
  echo "- **database fault**: FreeTDS as \"SQL Server\" against 127.0.0.1 only: a closed port, and a test listener"
  echo "  that takes the connection and closes it or answers garbage (the forms a refused login takes before any"
  echo "  reply the driver understands). The SQLite driver as \"SQL Server\" for a database that answers with a"
  echo "  missing table or field, a NULL, no rows, 100,000 rows, a message of a megabyte and one holding markup. Each"
  echo "  through the window's refresh (BUY): the vendor report is the status text before the action's own. The"
  echo "  message label must hold the message exactly, as plain text (SS_NOPREFIX: & is no access key). Afterwards"
  echo "  Send Parameters must write its file and report \"Status: OK.\". The refresh time is information, not a goal."
  echo "- **database fault, panel process**: tools/soak/panel_day starts the built Quenmarel.exe with a driver list"
  echo "  of its own: FreeTDS through the shim that scripts/register-odbc.sh registers, FreeTDS registered as \"SQL"
  echo "  Server\" itself (as most guides for ODBC under Wine show; its second login to a server that never answers"
  echo "  never ends), or the SQLite stand-in. FreeTDS is pointed (TDSHOST, TDSPORT) at a server on 127.0.0.1 that"
  echo "  takes every connection and never answers. It reads the status line 1 s and 10 s after the window"
  echo "  appeared, then the start-up report, presses BUY at a fixed spacing (each must write its seven files and"
  echo "  read \"Status: OK.\"), and chooses Exit. Threads, handles and private memory come from the system's process"
  echo "  list (Wine fills it from the Wine server and /proc; it answers GetProcessHandleCount and PrivateUsage of"
  echo "  another process with 0), connections the server holds from the TCP table (established towards the"
  echo "  server's port). The Exit time is shown, not judged by CI; the goal is 2 s. CI runs the short rows; the day"
  echo "  (ten presses 18.5 s apart, and a BUY every 18 s for 10 minutes with FreeTDS itself and with the shim) runs"
  echo "  with \`scripts/reliability.sh --day\`."
  echo "- **security**: a stand-in program planted at C:\\Program.exe logs any start an unquoted \"C:\\Program Files\\...\""
  echo "  command line would make, for the terminal start of the Expert Advisor selection (data folders named with"
  echo "  &, %, ^, ;, ' and, where Windows allows none, quotation marks and a vertical bar), Firefox and System"
  echo "  Information (registry paths with & and quotes, %SystemRoot%). Registry access: Wine does not enforce key"
  echo "  permissions, so the test replaces the registry opens in its own import table and records the access each"
  echo "  open asks for; a control row that opens a key for full access must be caught. A scan of src/ for write"
  echo "  access or registry writes covers code paths no test reaches."
  echo "- **fuzzing**: the native fuzzers in fuzz/ (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) check"
  echo "  invariants and independent models besides crashes. CI runs each for 40 s; \`scripts/fuzz.sh 600\` runs them"
  echo "  for ten minutes each."
} >"$out"

echo "Wrote $out: $(count pass) met, $(count fail) missed, $(count skip) skipped."
if [ "$ctest_status" -ne 0 ] || [ "$fuzz_status" -ne 0 ] || [ "$(count fail)" -ne 0 ]; then
  grep -E '^[0-9]+: .*(Failure|FAILED)|FINDING' "$log" | head -20 >&2
  exit 1
fi

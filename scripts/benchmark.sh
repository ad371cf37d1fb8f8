#!/usr/bin/env bash
# Measures the panel where a trader feels it and writes the figures, each against a floor measured in the same
# run (absolute times on a shared machine are noise; ratios are not):
#   start-up   process start to window shown and status line written, vendor host unreachable by name,
#              against a program that shows one empty window, and against one that shows the same controls;
#   BUY press  window message from another process to Buy.txt in place, against the same seven files written
#              with the same atomic replace in a loop; with the public-message refresh against a stand-in
#              SQLite database and without it (no "SQL Server" driver registered: the refresh fails at once);
#   footprint  executable size, private memory, handles and GDI/USER objects after start-up and their growth
#              over many presses.
# The Windows programs are in tools/bench; everything runs under Wine in the build tree's own prefix, on a
# virtual display when there is none. Timing goals are reported, never enforced: the command fails only when a
# figure could not be measured.
#
#   scripts/benchmark.sh             # full run (10 starts, 50 timed presses, 1,000 presses for leaks);
#                                    # writes docs/PERFORMANCE.md
#   scripts/benchmark.sh --short     # a quick check that it still works; writes <build>/bench/PERFORMANCE.md
#   options: --no-build (use the programs already built, install nothing), --out FILE
# QM_BUILD_DIR picks the Windows build tree (default build/mingw, the README's).
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"

short=0
build_programs=1
out=""
args=("$@")
while [ $# -gt 0 ]; do
  case "$1" in
    --short) short=1; shift ;;
    --no-build) build_programs=0; shift ;;
    --out) out="$(realpath -m "${2:?--out needs a file}")"; shift 2 ;;
    -h | --help) sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "benchmark: unknown argument: $1" >&2; exit 2 ;;
  esac
done

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1600x1200x24" "$0" "${args[@]}"
fi

build="$(realpath -m "${QM_BUILD_DIR:-$repo/build/mingw}")"
if [ "$short" = 1 ]; then
  runs=2; presses=5; leak_presses=50; probe_rounds=5; login_rounds=5; floor_sets=20
  out="${out:-$build/bench/PERFORMANCE.md}"
else
  runs=10; presses=50; leak_presses=1000; probe_rounds=400; login_rounds=50; floor_sets=200
  out="${out:-$repo/docs/PERFORMANCE.md}"
fi
message_rows=100

if [ "$build_programs" = 1 ]; then
  scripts/install-deps.sh
  cmake --preset mingw -B "$build" >/dev/null
  cmake --build "$build" --target bench_programs
fi
wine_run="$build/wine-run.sh"
panel="$build/src/ui/Quenmarel.exe"
bench="$build/tools/bench"
for program in "$panel" "$bench"/bench_{floor_window,floor_controls,floor_writer,odbc_probe,driver}.exe "$wine_run"; do
  [ -f "$program" ] || { echo "benchmark: $program is missing; build the target bench_programs" >&2; exit 1; }
done

# A fresh work folder: three driver lists, the stand-in database's folder and a terminal data folder.
work="$build/bench/work"
rm -rf "$work"
mkdir -p "$work"/{odbc-down,odbc-sqlite,odbc-none,db,floor} "$work/data/MQL4/Experts" "$work/data/tester/files"
: >"$work/data/MQL4/Experts/Kelvarinth_V10x.ex4"
: >"$work/odbc-none/odbcinst.ini"
scripts/register-odbc.sh --dir "$work/odbc-down" >/dev/null
sqlite_driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so
[ -f "$sqlite_driver" ] || { echo "benchmark: the SQLite ODBC driver is missing; run scripts/install-deps.sh" >&2; exit 1; }
printf '[SQL Server]\nDescription=SQLite standing in for the vendor database\nDriver=%s\n' "$sqlite_driver" \
  >"$work/odbc-sqlite/odbcinst.ini"
windows() { printf 'Z:%s' "${1//\//\\}"; }

figures="$work/figures.txt"
: >"$figures"
# Runs a benchmark program under Wine with ODBCSYSINI=$1, from the database folder: the SQLite driver opens
# Vostrel_EA in the Linux working folder of the process.
run() {
  local odbc="$1"; shift
  (cd "$work/db" && ODBCSYSINI="$work/$odbc" "$wine_run" "$@") | tr -d '\r' | tee -a "$work/$odbc.out"
}
record() { sed "s/^/$1/" >>"$figures"; }

"$wine_run" cmd /c exit >/dev/null 2>&1 || true  # the prefix, created once
# The panel's font (MS Sans Serif) from the fonts-wine package, where scripts/run.sh puts it for real use:
# without it every text is drawn in a substitute found through fontconfig.
fonts="$build/wineprefix/drive_c/windows/Fonts"
if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ]; then
  cp -n /usr/share/wine/fonts/*.fon /usr/share/wine/fonts/*.ttf "$fonts"/ 2>/dev/null || true
fi
echo "benchmark: start-up ($runs runs each)"
run odbc-down "$bench/bench_driver.exe" startup "$(windows "$bench/bench_floor_window.exe")" \
  "$(windows "$bench/bench_floor_controls.exe")" "$(windows "$panel")" "$runs" "SQL Server is down." | record ""
echo "benchmark: login attempts to the unreachable host ($login_rounds)"
run odbc-down "$bench/bench_odbc_probe.exe" unreachable "$login_rounds" | record ""
echo "benchmark: floor writer alone ($floor_sets sets)"
run odbc-none "$bench/bench_floor_writer.exe" "$(windows "$work/floor")" "$floor_sets" | record "alone_"
echo "benchmark: stand-in database ($message_rows rows) and its connect and query ($probe_rounds rounds)"
run odbc-sqlite "$bench/bench_odbc_probe.exe" create "$message_rows" | record ""
run odbc-sqlite "$bench/bench_odbc_probe.exe" measure "$probe_rounds" | record ""
ea="$(windows "$work/data/MQL4/Experts/Kelvarinth_V10x.ex4")"
exchange="$(windows "$work/data/tester/files")"
for case in none sqlite; do
  echo "benchmark: BUY presses, refresh against '$case' ($presses timed, $leak_presses for the footprint)"
  run "odbc-$case" "$bench/bench_driver.exe" clicks "$(windows "$panel")" "$ea" "$exchange" \
    "$(windows "$work/floor")" "$presses" "$leak_presses" | record "${case}_"
done

declare -A f
while IFS='=' read -r name value; do
  [ -n "$name" ] && f[$name]="$value"
done <"$figures"

# Every figure must be there and be a number; a -1 count means the system would not say.
missing=0
need() {
  for name in "$@"; do
    if ! [[ "${f[$name]:-}" =~ ^-?[0-9]+(\.[0-9]+)?$ ]]; then
      echo "benchmark: figure $name was not measured (got '${f[$name]:-}')" >&2
      missing=1
    fi
  done
}
need none_press_pause_ms floor_shown_ms floor_controls_shown_ms floor_controls_status_ms panel_shown_ms panel_first_report_ms panel_status_ms unreachable_first_ms unreachable_ms alone_floor_set_ms none_floor_set_ms sqlite_floor_set_ms connect_ms query_ms disconnect_ms round_trip_ms refresh_ms \
  startup_private_kb startup_handles startup_gdi startup_user \
  none_buy_in_place_ms none_buy_finished_ms sqlite_buy_in_place_ms sqlite_buy_finished_ms \
  sqlite_clicks_warmed_private_kb sqlite_clicks_pressed_private_kb sqlite_clicks_warmed_handles \
  sqlite_clicks_pressed_handles sqlite_clicks_warmed_gdi sqlite_clicks_pressed_gdi sqlite_clicks_warmed_user \
  sqlite_clicks_pressed_user
if [ "${f[sqlite_public_message_read]:-0}" != 1 ]; then
  echo "benchmark: the presses against the stand-in database did not show its message" >&2
  missing=1
fi
[ "$missing" = 0 ] || exit 1

calc() { awk "BEGIN { printf \"%.2f\", $1 }"; }
calc3() { awk "BEGIN { printf \"%.3f\", $1 }"; }  # for sums and differences of the probe's sub-millisecond figures
verdict() { awk "BEGIN { print ($1) ? \"met\" : \"missed\" }"; }
count() { if [ "$1" -lt 0 ]; then echo "n/a"; else echo "$1"; fi; }
growth() {  # per 1,000 presses, between the warmed panel and the panel after the leak presses
  local before="${f[sqlite_clicks_warmed_$1]}" after="${f[sqlite_clicks_pressed_$1]}"
  if awk "BEGIN { exit !($before < 0 || $after < 0) }"; then echo "n/a"; return; fi
  calc "($after - $before) * 1000 / $leak_presses"
}

startup_ratio=$(calc "${f[panel_status_ms]} / ${f[floor_shown_ms]}")
shown_ratio=$(calc "${f[panel_shown_ms]} / ${f[floor_shown_ms]}")
controls_ratio=$(calc "${f[panel_status_ms]} / ${f[floor_controls_status_ms]}")
controls_floor_ratio=$(calc "${f[floor_controls_status_ms]} / ${f[floor_shown_ms]}")
none_ratio=$(calc "${f[none_buy_in_place_ms]} / ${f[none_floor_set_ms]}")
sqlite_ratio=$(calc "${f[sqlite_buy_in_place_ms]} / ${f[sqlite_floor_set_ms]}")
refresh_added=$(calc3 "${f[sqlite_buy_finished_ms]} - ${f[none_buy_finished_ms]}")
connect_query=$(calc3 "${f[connect_ms]} + ${f[query_ms]} + ${f[disconnect_ms]}")
beyond=$(calc3 "$refresh_added - $connect_query")
refresh_beyond=$(calc3 "${f[refresh_ms]} - $connect_query")
exe_kb=$(calc "$(stat -c %s "$panel") / 1024")
leak_goal() {  # no growth: "met", "missed", or nothing when the system did not say
  local g; g=$(growth "$1")
  [ "$g" = "n/a" ] && return
  awk "BEGIN { print ($g > 0) ? \"missed\" : \"met\" }"
}
stripped="$work/Quenmarel-stripped.exe"
x86_64-w64-mingw32-strip -o "$stripped" "$panel"
stripped_kb=$(calc "$(stat -c %s "$stripped") / 1024")

mode_text="full"; [ "$short" = 1 ] && mode_text="short (a check that the benchmark works; too few runs for figures)"
mkdir -p "$(dirname "$out")"
{
  echo "# Performance figures"
  echo
  echo "Made by \`scripts/benchmark.sh${args[*]:+ ${args[*]}}\` on $(date -u '+%Y-%m-%d %H:%M UTC'), $mode_text run."
  echo
  echo "Machine: $(. /etc/os-release 2>/dev/null && echo "$PRETTY_NAME"), $(uname -sr), $(nproc) cores" \
       "($(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)), $(wine --version 2>/dev/null)," \
       "Xvfb. Times are medians; each floor was measured in the same run, and the ratio is what counts."
  echo
  echo "| Figure | Panel | Floor | Ratio | Goal | Result |"
  echo "|---|---|---|---|---|---|"
  echo "| Start-up to status line written (host unreachable by name) | ${f[panel_status_ms]} ms | ${f[floor_shown_ms]} ms (empty window shown) | $startup_ratio | ≤ 1.5 | $(verdict "$startup_ratio <= 1.5") |"
  echo "| Start-up to main window shown | ${f[panel_shown_ms]} ms | ${f[floor_shown_ms]} ms | $shown_ratio | (information) | |"
  echo "| Start-up to status line written, against the same 49 controls shown, painted and a status text written | ${f[panel_status_ms]} ms | ${f[floor_controls_status_ms]} ms | $controls_ratio | (information) | |"
  echo "| The same-controls program against the empty window | ${f[floor_controls_status_ms]} ms | ${f[floor_shown_ms]} ms | $controls_floor_ratio | (information) | |"
  echo "| Start-up to the first status report (option changes, before the first paint and the login) | ${f[panel_first_report_ms]} ms | | | (information) | |"
  echo "| Login attempt to the unreachable host, first in a process (probe; loads the driver) | ${f[unreachable_first_ms]} ms | | | (information) | |"
  echo "| BUY press to Buy.txt in place, no database driver | ${f[none_buy_in_place_ms]} ms | ${f[none_floor_set_ms]} ms (seven files) | $none_ratio | ≤ 2 | $(verdict "$none_ratio <= 2") |"
  echo "| BUY press to Buy.txt in place, refresh against the stand-in | ${f[sqlite_buy_in_place_ms]} ms | ${f[sqlite_floor_set_ms]} ms | $sqlite_ratio | ≤ 2 | $(verdict "$sqlite_ratio <= 2") |"
  echo "| Seven files with the atomic replace, floor writer alone | | ${f[alone_floor_set_ms]} ms | | (information) | |"
  echo "| BUY press to end of press, no database driver | ${f[none_buy_finished_ms]} ms | | | (information) | |"
  echo "| BUY press to end of press, refresh against the stand-in | ${f[sqlite_buy_finished_ms]} ms | | | (information) | |"
  echo "| Time the refresh adds to a press, showing the message included | $refresh_added ms | $connect_query ms (probe: connect ${f[connect_ms]} + query ${f[query_ms]} + disconnect ${f[disconnect_ms]}) | beyond: $beyond ms | (information; the database part is the next row) | |"
  echo "| The panel's refresh code alone, no window (probe) | ${f[refresh_ms]} ms | $connect_query ms (connect + query + disconnect) | beyond: $refresh_beyond ms | beyond < one round trip (${f[round_trip_ms]} ms) | $(verdict "$refresh_beyond < ${f[round_trip_ms]}") |"
  echo
  echo "| Footprint | After start-up | Growth per 1,000 BUY presses | Goal | Result |"
  echo "|---|---|---|---|---|"
  echo "| Quenmarel.exe size, as built (with debug information) | $exe_kb KiB | | (information) | |"
  echo "| Quenmarel.exe size, stripped | $stripped_kb KiB | | (information) | |"
  echo "| Private memory | ${f[startup_private_kb]} KiB | $(growth private_kb) KiB | (information) | |"
  echo "| Handles | $(count "${f[startup_handles]}") | $(growth handles) | no growth | $(leak_goal handles) |"
  echo "| GDI objects | $(count "${f[startup_gdi]}") | $(growth gdi) | no growth | $(leak_goal gdi) |"
  echo "| USER objects | $(count "${f[startup_user]}") | $(growth user) | no growth | $(leak_goal user) |"
  echo
  echo "Growth was read over $leak_presses presses after $presses warm-up presses (the first press loads the ODBC"
  echo "driver and its libraries once), with the refresh against the stand-in database, and scaled to 1,000."
  echo "\"n/a\": the system did not report the count."
  echo
  echo "## Method"
  echo
  echo "- The Windows programs are in \`tools/bench\`: \`bench_driver\` starts the programs with \`CreateProcessW\`,"
  echo "  polls for the shown window and reads \`lblStatus\` (found by its control identifier) without sending the"
  echo "  panel a message, presses BUY by posting \`WM_COMMAND\`/\`BN_CLICKED\` for \`cmdBuy\` to the main window, and"
  echo "  reads the footprint with \`GetProcessMemoryInfo\`, \`GetProcessHandleCount\` and \`GetGuiResources\`."
  echo "- Start-up runs take turns: the floor program (\`bench_floor_window\`, one empty window), the same-controls"
  echo "  program (\`bench_floor_controls\`: the panel's 49 controls from its layout table, in their places and fonts,"
  echo "  shown, painted and a text put on \`lblStatus\`; no menu, tooltip, colours, options, files or database) and"
  echo "  the panel, $runs of each after one uncounted start of each. The vendor host is the panel's own,"
  echo "  \`sql.qrxforex.example\`, with FreeTDS registered as \"SQL Server\" in a driver list of the benchmark's own"
  echo "  (\`ODBCSYSINI\`): the name does not resolve and the status line ends as \"SQL Server is down.\"."
  echo "- A timed press removes \`Buy.txt\` from the back-test exchange folder of a temporary data folder (its"
  echo "  Expert Advisor path typed into \`txtFileLocation\` with \`WM_SETTEXT\`), posts the press, and polls until a new"
  echo "  \`Buy.txt\` is in place (polled without sleeping: a folder change notification under Wine arrives"
  echo "  milliseconds late); the end of the press is when a \`WM_NULL\` sent next is answered and the panel waits"
  echo "  for input again (\`WaitForInputIdle\`), its labels repainted. Just before each press the driver writes the"
  echo "  floor: the same seven files with the same atomic replace (\`qm::ReplaceFileAtomically\`), removing"
  echo "  \`Buy.txt\` first, so that each press and its floor meet the same moment of a shared machine; the ratio"
  echo "  uses these. \`bench_floor_writer\` writes the floor alone, $floor_sets sets in a loop, for comparison."
  echo "- \"With the refresh\": the SQLite ODBC driver registered as \"SQL Server\", \`Vostrel_Gap\` holding"
  echo "  $message_rows messages. \"No database driver\": an empty driver list, so the refresh fails at the driver"
  echo "  manager without reaching any database and costs only its own bookkeeping. The probe (\`bench_odbc_probe\`)"
  echo "  times, over the same ODBC stack, a fresh login with the panel's login time-out, the panel's query with the"
  echo "  settings it must use (query time-out, static read-only cursor, \`Public_Msg\` found by name, the field read"
  echo "  to its end, the cursor closed), the logout, and one trivial statement on an open connection (the round"
  echo "  trip); in the same rounds it times the panel's own refresh code, without the window."
  echo "- Wine runs every program, floors included, so its own costs appear on both sides of each ratio. Wine"
  echo "  answers \`PrivateUsage\`, \`GetProcessHandleCount\` and \`GetGuiResources\` for another process with 0, so the"
  echo "  driver sums the process's committed private regions (\`VirtualQueryEx\`), counts its entries in the system's"
  echo "  handle list, and counts its windows for USER objects; GDI objects cannot be read under Wine (n/a)."
  echo
  echo "## Findings"
  echo
  echo "- **Start-up** misses its goal against an empty window, and a window with the panel's controls cannot meet"
  echo "  it under Wine's X11 driver: the same-controls program, which only creates, shows and paints the 49"
  echo "  controls and writes one label, takes $controls_floor_ratio times the empty window by itself. Against that"
  echo "  program the panel takes $controls_ratio times: its own work (menu, tooltip, option changes, the ODBC"
  echo "  libraries and the failed login) is the smaller part. Profiled with Wine's \`+timestamp\`, \`+relay\`,"
  echo "  \`+loaddll\` and \`+debugstr\` channels (phase marks), the Wine server's request log (\`wineserver -d1\`)"
  echo "  and \`strace\`: every control costs round trips to the Wine server when it is created, moved, given a"
  echo "  font, looked up by its identifier or painted, and painting the 49 controls takes about 40 ms. Mended:"
  echo "  the controls are made in their places with their fonts while the window is hidden (they were made empty"
  echo "  and then moved and re-fonted), the window keeps its controls' handles (each lookup by identifier was a"
  echo "  server request), the load step's option changes paint the status line once, and the Open dialog's"
  echo "  library, which brings the shell's, is loaded when the dialog is first shown. Together: 4,479 server"
  echo "  requests per start became 4,070, and start-up to the status line about 10% shorter in paired runs."
  echo "  What remains is Wine's cost per control window and per painted control. Variants of the same-controls"
  echo "  program, timed against each other in paired runs of 20 starts (2026-12-08, on a machine where the empty"
  echo "  window took about 85 ms): with no paint before the status text it still took 1.9 times the empty"
  echo "  window, so creating and showing the 49 control windows alone is past the goal, and the paint was about"
  echo "  29% of its time; with the system's classic control classes (no common-controls manifest) it took about"
  echo "  9% less, not taken, as on Windows that trades the panel's visual styles for it. On a display with no X"
  echo "  resources (Xvfb here) Wine asks for \`Xft.antialias\` at every font selection and Xlib rereads"
  echo "  \`~/.Xdefaults\` each time, about 1,600 times per start; neither a font quality that skips the lookup"
  echo "  nor X resources for the display (\`XENVIRONMENT\`) moved the time beyond the runs' noise of a few percent."
  echo "- **BUY press**: each of the seven writers, the refresh and the action report on the status line, and a"
  echo "  label repaints itself at once on each new text. The two report labels are now painted once, after each"
  echo "  handler (\`frmMain::RunTrapped\`), which is also what a trader is meant to see: only the last report."
  echo "- **Refresh**: one login, the query, one row fetched and one field read; the rest of the table is never"
  echo "  read. The stand-in answers in-process, so its round trip is microseconds. The difference of two press"
  echo "  medians also holds what the database does not: with the refresh the message label gets a new text and"
  echo "  is painted with it, and without a driver the refresh fails at the driver manager and the label keeps its"
  echo "  text. Timed inside the panel (phase marks), the database part of a press's refresh took about 0.4 ms"
  echo "  and the failing one 0.2 ms; the rest of the difference is the label. The probe's row for the panel's own"
  echo "  refresh code, which leaves the window out, is the comparison with connect and query: it times the raw"
  echo "  steps and the panel's code in the same rounds, $probe_rounds of them, because run in two processes their"
  echo "  medians moved by some 0.03 ms from run to run, several round trips. Against a real SQL Server through"
  echo "  FreeTDS, the static cursor the panel asks for may be served as a server cursor with round trips of its"
  echo "  own; the stand-in cannot show this."
  echo "- **Presses** are ${f[none_press_pause_ms]} ms apart: Wine reports the panel idle before its last repaint is"
  echo "  drawn, and presses one after another with no pause counted that repaint in the next press (seen as the"
  echo "  refresh case's file appearing later though its handler ran no slower)."
} >"$out"
echo "benchmark: wrote $out"
cat "$out" | sed -n '/^| Figure/,/^$/p'

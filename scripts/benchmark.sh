#!/usr/bin/env bash
# Measures the panel where a trader feels it and writes the figures, each against a floor measured in the same
# run (absolute times on a shared machine are noise; ratios are not):
#   start-up   process start to window shown and to the window answering input, with a vendor server that
#              takes the connection and never answers, against a program that shows the same controls (and,
#              for information, one that shows one empty window);
#   BUY press  window message from another process to Buy.txt in place and to the window answering again,
#              against a window that takes the same press and does what a press must (the seven files
#              with the same atomic replace, one status text), with the vendor server answering (a stand-in
#              SQLite database), refusing (a closed port) and hanging; the seven files written inside the
#              driver are shown for information;
#   footprint  executable size, private memory, handles and GDI/USER objects after start-up and their growth
#              over many presses.
# The Windows programs are in tools/bench; everything runs under Wine in the build tree's own prefix, on a
# virtual display when there is none. Timing goals are reported, never enforced: the command fails only when a
# figure could not be measured.
#
#   scripts/benchmark.sh             # full run (10 starts, 50 timed presses, 2 × 1,000 presses for leaks);
#                                    # writes docs/PERFORMANCE.md
#   scripts/benchmark.sh --short     # a quick check that it still works; writes <build>/bench/PERFORMANCE.md
#   options: --no-build (use the programs already built, install nothing), --out FILE, --profile and
#            --no-profile (count the Wine server requests of a press and of a start; full runs do)
# QM_BUILD_DIR picks the Windows build tree (default build/mingw, the README's).
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"

short=0
build_programs=1
profile=""
out=""
args=("$@")
while [ $# -gt 0 ]; do
  case "$1" in
    --short) short=1; shift ;;
    --no-build) build_programs=0; shift ;;
    --profile) profile=1; shift ;;
    --no-profile) profile=0; shift ;;
    --out) out="$(realpath -m "${2:?--out needs a file}")"; shift 2 ;;
    -h | --help) sed -n '2,23p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
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
  profile="${profile:-0}"
else
  runs=10; presses=50; leak_presses=1000; probe_rounds=400; login_rounds=50; floor_sets=200
  out="${out:-$repo/docs/PERFORMANCE.md}"
  profile="${profile:-1}"
fi
profile_presses=5
message_rows=100

if [ "$build_programs" = 1 ]; then
  scripts/install-deps.sh
  cmake --preset mingw -B "$build" >/dev/null
  cmake --build "$build" --target bench_programs
fi
wine_run="$build/wine-run.sh"
panel="$build/src/ui/Quenmarel.exe"
bench="$build/tools/bench"
for program in "$panel" "$bench"/bench_{floor_window,floor_controls,floor_press,floor_writer,odbc_probe,driver}.exe \
  "$wine_run"; do
  [ -f "$program" ] || { echo "benchmark: $program is missing; build the target bench_programs" >&2; exit 1; }
done

# A fresh work folder: two driver lists, the stand-in database's folder and two terminal data folders, one
# for the panel and one for the press floor.
work="$build/bench/work"
rm -rf "$work"
mkdir -p "$work"/{odbc-down,odbc-sqlite,db,floor}
for data in data floor-data; do
  mkdir -p "$work/$data/MQL4/Experts" "$work/$data/tester/files"
  : >"$work/$data/MQL4/Experts/Kelvarinth_V10x.ex4"
done
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

# Vendor servers on 127.0.0.1 (bench_driver serve): each writes its port to a file and serves until the file
# is removed, which this script does when it ends, however it ends.
trap 'rm -f "$work"/*.port' EXIT
serve() {  # serve hang|closed VARIABLE: starts the server and puts its port in VARIABLE
  local file="$work/$1.port"
  "$wine_run" "$bench/bench_driver.exe" serve "$1" "$(windows "$file")" >/dev/null 2>&1 &
  for _ in $(seq 1 300); do
    if [ -s "$file" ]; then
      printf -v "$2" '%s' "$(cat "$file")"
      return
    fi
    sleep 0.1
  done
  echo "benchmark: the $1 server did not start" >&2
  exit 1
}

# The prefix, created once, with the panel's font (MS Sans Serif from fonts-wine), as wine-run.sh gives it.
"$wine_run" cmd /c exit >/dev/null 2>&1 || true
serve hang hang_port
serve closed closed_port
# FreeTDS takes the server's address from TDSHOST and TDSPORT, whatever the panel's fixed connection string
# names; a program started under Wine gets them from the Linux environment of the program that starts it.
echo "benchmark: start-up with a server that never answers ($runs runs each)"
TDSHOST=127.0.0.1 TDSPORT="$hang_port" run odbc-down "$bench/bench_driver.exe" startup \
  "$(windows "$bench/bench_floor_window.exe")" "$(windows "$bench/bench_floor_controls.exe")" "$(windows "$panel")" \
  "$runs" | record ""
echo "benchmark: login attempts to the unreachable host ($login_rounds)"
run odbc-down "$bench/bench_odbc_probe.exe" unreachable "$login_rounds" | record ""
echo "benchmark: floor writer alone ($floor_sets sets)"
run odbc-down "$bench/bench_floor_writer.exe" "$(windows "$work/floor")" "$floor_sets" | record "alone_"
echo "benchmark: stand-in database ($message_rows rows) and its connect and query ($probe_rounds rounds)"
run odbc-sqlite "$bench/bench_odbc_probe.exe" create "$message_rows" | record ""
run odbc-sqlite "$bench/bench_odbc_probe.exe" measure "$probe_rounds" | record ""
ea="$(windows "$work/data/MQL4/Experts/Kelvarinth_V10x.ex4")"
exchange="$(windows "$work/data/tester/files")"
floor_ea="$(windows "$work/floor-data/MQL4/Experts/Kelvarinth_V10x.ex4")"
floor_exchange="$(windows "$work/floor-data/tester/files")"
# BUY presses with the vendor server answering (the stand-in), refusing and hanging; the footprint's growth
# is read with the stand-in, where every refresh reads and shows a message.
presses_with() {  # CASE DRIVER_LIST PORT LEAK_PRESSES
  echo "benchmark: BUY presses, vendor server $1 ($presses timed, $4 for the footprint)"
  TDSHOST=127.0.0.1 TDSPORT="$3" run "$2" "$bench/bench_driver.exe" clicks "$(windows "$panel")" "$ea" \
    "$exchange" "$(windows "$bench/bench_floor_press.exe")" "$floor_ea" "$floor_exchange" \
    "$(windows "$work/floor")" "$presses" "$4" | record "${1}_"
}
presses_with answering odbc-sqlite "$closed_port" "$leak_presses"
presses_with refusing odbc-down "$closed_port" 0
presses_with hanging odbc-down "$hang_port" 0

# The server that never answers must have been reached: by every start of the panel and by its presses.
echo "hang_server_connections=$(cat "$work/hang.port.taken" 2>/dev/null || echo 0)" >>"$figures"

# The profile: what the programs ask of the Wine server, counted in its request log (wineserver -d1), for
# a few presses with the vendor server refusing and one start of each program. A request is a round trip
# to the one server every Wine program of the prefix shares. The log slows every program down, so this
# runs apart from the timed runs, in a prefix of its own (made once, with the panel's font), whose server
# it starts itself.
if [ "$profile" = 1 ]; then
  echo "benchmark: profile, the Wine server's request log ($profile_presses presses, one start each)"
  prefix="$build/bench/profile-prefix"
  log="$work/server-requests.log"
  (
    export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
    if [ ! -f "$prefix/.qm-ready" ]; then
      wineboot -i </dev/null >/dev/null 2>&1
      wineserver -w
      touch "$prefix/.qm-ready"
    fi
    cp -n /usr/share/wine/fonts/*.fon /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    wineserver -w
    wineserver -f -d1 </dev/null >/dev/null 2>"$log" &
    server=$!
    for _ in $(seq 1 100); do
      grep -q "starting" "$log" 2>/dev/null && break
      sleep 0.1
    done
    cd "$work/db"
    ODBCSYSINI="$work/odbc-down" TDSHOST=127.0.0.1 TDSPORT="$closed_port" wine "$bench/bench_driver.exe" clicks \
      "$(windows "$panel")" "$ea" "$exchange" "$(windows "$bench/bench_floor_press.exe")" "$floor_ea" \
      "$floor_exchange" "$(windows "$work/floor")" "$profile_presses" 0 >/dev/null 2>&1
    ODBCSYSINI="$work/odbc-down" TDSHOST=127.0.0.1 TDSPORT="$hang_port" wine "$bench/bench_driver.exe" startup \
      "$(windows "$bench/bench_floor_window.exe")" "$(windows "$bench/bench_floor_controls.exe")" \
      "$(windows "$panel")" 1 >/dev/null 2>&1
    wineserver -w
    wait "$server"
  ) || true
  awk -v programs="Quenmarel.exe bench_floor_press.exe bench_floor_controls.exe" \
    -f "$repo/tools/bench/server_requests.awk" "$log" | record "profile_"
fi

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
cases=(answering refusing hanging)
for case in "${cases[@]}"; do
  need "${case}_floor_set_ms" "${case}_press_floor_in_place_ms" "${case}_press_floor_finished_ms" \
    "${case}_buy_in_place_ms" "${case}_buy_finished_ms"
done
need answering_press_pause_ms floor_shown_ms floor_controls_shown_ms floor_controls_answering_ms panel_shown_ms \
  panel_first_report_ms panel_answering_ms unreachable_first_ms unreachable_ms alone_floor_set_ms connect_ms \
  query_ms disconnect_ms round_trip_ms refresh_ms \
  startup_private_kb startup_handles startup_gdi startup_user \
  answering_clicks_warmed_private_kb answering_clicks_pressed_private_kb answering_clicks_warmed_handles \
  answering_clicks_pressed_handles answering_clicks_warmed_gdi answering_clicks_pressed_gdi \
  answering_clicks_warmed_user answering_clicks_pressed_user
if [ "${f[hang_server_connections]}" -lt $((runs + 2)) ]; then
  echo "benchmark: the server that never answers took ${f[hang_server_connections]} connections" >&2
  missing=1
fi
if [ "${f[answering_public_message_read]:-0}" != 1 ]; then
  echo "benchmark: the presses against the stand-in database did not show its message" >&2
  missing=1
fi
[ "$missing" = 0 ] || exit 1

calc() { awk "BEGIN { printf \"%.2f\", $1 }"; }
calc3() { awk "BEGIN { printf \"%.3f\", $1 }"; }  # for sums and differences of the probe's sub-millisecond figures
verdict() { awk "BEGIN { print ($1) ? \"met\" : \"missed\" }"; }
count() { if [ "$1" -lt 0 ]; then echo "n/a"; else echo "$1"; fi; }
growth() {  # per 1,000 presses, between the warmed panel and the panel after the leak presses
  local before="${f[answering_clicks_warmed_$1]}" after="${f[answering_clicks_pressed_$1]}"
  if awk "BEGIN { exit !($before < 0 || $after < 0) }"; then echo "n/a"; return; fi
  calc "($after - $before) * 1000 / $leak_presses"
}

answering_ratio=$(calc "${f[panel_answering_ms]} / ${f[floor_controls_answering_ms]}")
shown_ratio=$(calc "${f[panel_shown_ms]} / ${f[floor_controls_shown_ms]}")
controls_floor_ratio=$(calc "${f[floor_controls_answering_ms]} / ${f[floor_shown_ms]}")
declare -A in_place_ratio finished_ratio set_in_place_ratio set_finished_ratio
for case in "${cases[@]}"; do
  in_place_ratio[$case]=$(calc "${f[${case}_buy_in_place_ms]} / ${f[${case}_press_floor_in_place_ms]}")
  finished_ratio[$case]=$(calc "${f[${case}_buy_finished_ms]} / ${f[${case}_press_floor_finished_ms]}")
  set_in_place_ratio[$case]=$(calc "${f[${case}_buy_in_place_ms]} / ${f[${case}_floor_set_ms]}")
  set_finished_ratio[$case]=$(calc "${f[${case}_buy_finished_ms]} / ${f[${case}_floor_set_ms]}")
done
connect_query=$(calc3 "${f[connect_ms]} + ${f[query_ms]} + ${f[disconnect_ms]}")
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
declare -A server_text=([answering]="answering (the stand-in)" [refusing]="refusing (closed port)" \
                        [hanging]="never answering")

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
  echo "| Start-up to the window answering input, vendor server never answering | ${f[panel_answering_ms]} ms | ${f[floor_controls_answering_ms]} ms (the same 49 controls shown, painted, a status text written, answering) | $answering_ratio | ≤ 1.15 | $(verdict "$answering_ratio <= 1.15") |"
  echo "| Start-up to main window shown | ${f[panel_shown_ms]} ms | ${f[floor_controls_shown_ms]} ms (the same controls shown) | $shown_ratio | (information) | |"
  echo "| The same-controls program against an empty window, to answering | ${f[floor_controls_answering_ms]} ms | ${f[floor_shown_ms]} ms (empty window shown) | $controls_floor_ratio | (information) | |"
  echo "| Start-up to the first status report (option changes, before the first paint and the login) | ${f[panel_first_report_ms]} ms | | | (information) | |"
  echo "| Login attempt to the unreachable host, first in a process (probe; loads the driver) | ${f[unreachable_first_ms]} ms | | | (information) | |"
  for case in "${cases[@]}"; do
    echo "| BUY press to Buy.txt in place, vendor server ${server_text[$case]} | ${f[${case}_buy_in_place_ms]} ms | ${f[${case}_press_floor_in_place_ms]} ms (the press floor: the same press, seven files, one status text) | ${in_place_ratio[$case]} | ≤ 1.15 | $(verdict "${in_place_ratio[$case]} <= 1.15") |"
    echo "| BUY press to the window answering again, vendor server ${server_text[$case]} | ${f[${case}_buy_finished_ms]} ms | ${f[${case}_press_floor_finished_ms]} ms (the press floor, answering again) | ${finished_ratio[$case]} | ≤ 1.25 | $(verdict "${finished_ratio[$case]} <= 1.25") |"
  done
  for case in "${cases[@]}"; do
    echo "| BUY press against the seven files written inside the driver (the earlier floor), to Buy.txt / to answering, vendor server ${server_text[$case]} | ${f[${case}_buy_in_place_ms]} / ${f[${case}_buy_finished_ms]} ms | ${f[${case}_floor_set_ms]} ms (seven files) | ${set_in_place_ratio[$case]} / ${set_finished_ratio[$case]} | (information) | |"
  done
  echo "| Seven files with the atomic replace, floor writer alone | | ${f[alone_floor_set_ms]} ms | | (information) | |"
  echo "| The panel's refresh code alone, no window (probe) | ${f[refresh_ms]} ms | $connect_query ms (connect ${f[connect_ms]} + query ${f[query_ms]} + disconnect ${f[disconnect_ms]}) | beyond: $refresh_beyond ms | beyond < one round trip (${f[round_trip_ms]} ms) | $(verdict "$refresh_beyond < ${f[round_trip_ms]}") |"
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
  echo "The footprint after start-up is the panel's with the start-up login to a server that never answers still"
  echo "in progress. Growth was read over $leak_presses presses back to back, after $presses spaced presses (the first"
  echo "loads the ODBC driver and its libraries once) and a first burst of $leak_presses, with the vendor server"
  echo "answering, and scaled to 1,000."
  echo "\"n/a\": the system did not report the count."
  echo
  echo "## Method"
  echo
  echo "- The Windows programs are in \`tools/bench\`: \`bench_driver\` starts the programs with \`CreateProcessW\`,"
  echo "  polls for the shown window and reads \`lblStatus\` (found by its control identifier) without sending the"
  echo "  panel a message, presses BUY by posting \`WM_COMMAND\`/\`BN_CLICKED\` for \`cmdBuy\` to the main window, and"
  echo "  reads the footprint with \`GetProcessMemoryInfo\`, \`GetProcessHandleCount\` and \`GetGuiResources\`."
  echo "- The vendor servers are \`bench_driver serve\` on 127.0.0.1: one takes every connection and never answers,"
  echo "  the other holds a port that refuses every connection. The panel's connection string is fixed; FreeTDS,"
  echo "  registered as \"SQL Server\" by \`scripts/register-odbc.sh\` in a driver list of the benchmark's own"
  echo "  (\`ODBCSYSINI\`), takes the server's address from \`TDSHOST\` and \`TDSPORT\`, which the benchmark sets."
  echo "  The server that never answers took ${f[hang_server_connections]} connections in this run, one for each"
  echo "  start of the panel: with it, the presses' refreshes wait behind the start-up login, which the panel"
  echo "  gives up after 17 s, later than the presses."
  echo "  \"Answering\" is the SQLite ODBC driver registered as \"SQL Server\" instead, \`Vostrel_Gap\` holding"
  echo "  $message_rows messages."
  echo "- Start-up runs take turns: the floor program (\`bench_floor_window\`, one empty window), the same-controls"
  echo "  program (\`bench_floor_controls\`: the panel's 49 controls from its layout table, in their places and fonts,"
  echo "  shown, painted and a text put on \`lblStatus\`; no menu, tooltip, colours, options, files or database) and"
  echo "  the panel, $runs of each after one uncounted start of each, all with the server that never answers."
  echo "  \"Answering input\" is when \`lblStatus\` holds a text and a \`WM_NULL\` sent next is answered: the program"
  echo "  has left its start-up and runs its messages."
  echo "- A timed press removes \`Buy.txt\` from the back-test exchange folder of a temporary data folder (its"
  echo "  Expert Advisor path typed into \`txtFileLocation\` with \`WM_SETTEXT\`), posts the press, and polls until a new"
  echo "  \`Buy.txt\` is in place (polled without sleeping: a folder change notification under Wine arrives"
  echo "  milliseconds late); the window answers again when a \`WM_NULL\` sent next is answered and the panel waits"
  echo "  for input again (\`WaitForInputIdle\`), its labels repainted. Just before each press the driver writes the"
  echo "  floor: the same seven files with the same atomic replace (\`qm::ReplaceFileAtomically\`), removing"
  echo "  \`Buy.txt\` first, so that each press and its floor meet the same moment of a shared machine; the ratio"
  echo "  uses these. \`bench_floor_writer\` writes the floor alone, $floor_sets sets in a loop, for comparison."
  echo "- The probe (\`bench_odbc_probe\`) times, over the same ODBC stack and the stand-in, a fresh login with the"
  echo "  panel's login time-out, the panel's query with the settings it must use (query time-out, static"
  echo "  read-only cursor, \`Public_Msg\` found by name, the field read to its end, the cursor closed), the logout,"
  echo "  and one trivial statement on an open connection (the round trip); in the same rounds it times the"
  echo "  panel's own refresh code, without the window or its worker thread."
  echo "- Wine runs every program, floors included, so its own costs appear on both sides of each ratio. Wine"
  echo "  answers \`PrivateUsage\`, \`GetProcessHandleCount\` and \`GetGuiResources\` for another process with 0, so the"
  echo "  driver sums the process's committed private regions (\`VirtualQueryEx\`), counts its entries in the system's"
  echo "  handle list, and counts its windows for USER objects; GDI objects cannot be read under Wine (n/a)."
  echo
  echo "## Findings"
  echo
  echo "- **Start-up** no longer waits for the vendor database: the start-up login runs on the vendor worker's"
  echo "  thread, and the window answers input while it runs, so a server that never answers costs the start"
  echo "  nothing; its report (\"SQL Server is down.\") reaches the status line when the login has failed, after"
  echo "  the 15 s login time-out, or the worker's 17 s deadline for a driver that does not keep it. Against the"
  echo "  program that shows the same 49 controls the panel takes $answering_ratio times to answer input; the"
  echo "  difference is its menu, tooltip, colours, the two option changes of the load step and starting the"
  echo "  worker. The earlier goal against an empty window is retired: under Wine's X11 driver the same-controls"
  echo "  program alone takes $controls_floor_ratio times the empty window, because every control costs round trips"
  echo "  to the Wine server when it is created, placed, given a font or painted (profiled with Wine's"
  echo "  \`+timestamp\`, \`+relay\` and \`+loaddll\` channels, the Wine server's request log and \`strace\`). Mended"
  echo "  then: the controls are made in their places with their fonts while the window is hidden, the window keeps"
  echo "  its controls' handles, the load step's option changes paint the status line once, and the Open dialog's"
  echo "  library is loaded when the dialog is first shown."
  echo "- **BUY press**: the press writes its seven files and its report and returns; the refresh is only asked"
  echo "  for (one request runs on the worker, at most one more waits, and presses in between merge into it), so"
  echo "  the press costs about the same whatever the vendor server does: its files are in place in"
  echo "  ${in_place_ratio[answering]}, ${in_place_ratio[refusing]} and ${in_place_ratio[hanging]} times the floor with the server answering, refusing and"
  echo "  never answering, and the window answers again in ${finished_ratio[answering]}, ${finished_ratio[refusing]} and ${finished_ratio[hanging]} times. Beyond"
  echo "  the files, a press writes eight reports on the status line, which is painted once, after the handler"
  echo "  (\`frmMain::RunTrapped\`); the message label is no longer held and repainted with it, since it changes only"
  echo "  when a refresh's result arrives, between handlers. With the server answering, the refresh runs on the"
  echo "  worker while the press ends and the window paints the new message when it arrives; with a server that"
  echo "  never answers, the presses' refreshes wait behind the start-up login. The window keeps answering."
  echo "  With the server answering, the refresh (some 0.2 ms of driver work) ends while the press is still"
  echo "  running, so applying and painting the new message usually falls inside the press's time to answering."
  echo "  These ratios move with the machine's load: in two earlier runs on 2026-12-09, partly while other builds"
  echo "  used a core and before the message label was left out of the handler's paint, the window answered"
  echo "  again in 1.9 to 2.4 times the floor and the files were in place in 1.6 to 2.0 times; three later runs"
  echo "  on the idle machine gave 1.59 to 2.02 times to answering and 1.38 to 1.69 to the files. A press ends with"
  echo "  a message sent from another process and answered through the Wine server, which the floor, written"
  echo "  inside the driver, does not have."
  echo "- **Refresh**: one login, the query, one row fetched and one field read; the rest of the table is never"
  echo "  read. The probe's row for the panel's own refresh code, which leaves the window and the worker out, times"
  echo "  the raw steps and the panel's code in the same rounds, $probe_rounds of them, because run in two processes"
  echo "  their medians moved by some 0.03 ms from run to run, several round trips. Against a real SQL Server"
  echo "  through FreeTDS, the static cursor the panel asks for may be served as a server cursor with round trips"
  echo "  of its own; the stand-in cannot show this."
  echo "- **Footprint**: after start-up the panel holds two threads more than before the worker (the worker, inside"
  echo "  the login, and its watchdog) and FreeTDS's libraries and connection; nothing grows over the presses."
  echo "  The first burst of presses back to back adds one handle, once, whatever its length (50 or 1,000"
  echo "  presses), most likely the threads library making a lock's kernel object when presses arriving while a"
  echo "  refresh runs first contend for the worker's lock. That burst is therefore counted as warm-up."
  echo "- **Presses** are ${f[answering_press_pause_ms]} ms apart: Wine reports the panel idle before its last repaint is"
  echo "  drawn, and presses one after another with no pause counted that repaint in the next press."
} >"$out"
echo "benchmark: wrote $out"
cat "$out" | sed -n '/^| Figure/,/^$/p'

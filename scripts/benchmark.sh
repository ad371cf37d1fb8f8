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
#   scripts/benchmark.sh             # full run (20 starts, 50 timed presses, 2 × 1,000 presses for leaks);
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
  runs=20; presses=50; leak_presses=1000; probe_rounds=400; login_rounds=50; floor_sets=200
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
  need "${case}_floor_set_ms" "${case}_press_floor_in_place_ms" "${case}_press_floor_answered_ms" \
    "${case}_press_floor_finished_ms" "${case}_buy_in_place_ms" "${case}_buy_answered_ms" "${case}_buy_finished_ms" \
    "${case}_buy_in_place_paired_ratio" "${case}_buy_finished_paired_ratio"
done
if [ "$profile" = 1 ]; then
  need profile_quenmarel_press_file_requests profile_quenmarel_press_after_requests \
    profile_quenmarel_press_other_requests profile_bench_floor_press_press_file_requests \
    profile_bench_floor_press_press_after_requests profile_quenmarel_startup_requests \
    profile_bench_floor_controls_startup_requests
fi
need answering_press_pause_ms floor_shown_ms floor_controls_shown_ms floor_controls_answering_ms panel_shown_ms \
  panel_first_report_ms panel_answering_ms panel_answering_paired_ratio unreachable_first_ms unreachable_ms alone_floor_set_ms connect_ms \
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
calc0() { awk "BEGIN { printf \"%g\", $1 }"; }  # counts
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
declare -A in_place_ratio finished_ratio answered_ratio set_in_place_ratio set_finished_ratio
for case in "${cases[@]}"; do
  answered_ratio[$case]=$(calc "${f[${case}_buy_answered_ms]} / ${f[${case}_press_floor_answered_ms]}")
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
  echo "| Start-up to the window answering input, vendor server never answering | ${f[panel_answering_ms]} ms | ${f[floor_controls_answering_ms]} ms (the same 49 controls shown, painted, a status text written, answering) | $answering_ratio | ≤ 1.10 | $(verdict "$answering_ratio <= 1.10") |"
  echo "| The same, median of each start's ratio to the same-controls start just before it | | | ${f[panel_answering_paired_ratio]} | (information) | |"
  echo "| Start-up to main window shown | ${f[panel_shown_ms]} ms | ${f[floor_controls_shown_ms]} ms (the same controls shown) | $shown_ratio | (information) | |"
  echo "| The same-controls program against an empty window, to answering | ${f[floor_controls_answering_ms]} ms | ${f[floor_shown_ms]} ms (empty window shown) | $controls_floor_ratio | (information) | |"
  echo "| Start-up to the first status report (option changes, before the first paint and the login) | ${f[panel_first_report_ms]} ms | | | (information) | |"
  echo "| Login attempt to the unreachable host, first in a process (probe; loads the driver) | ${f[unreachable_first_ms]} ms | | | (information) | |"
  for case in "${cases[@]}"; do
    echo "| BUY press to Buy.txt in place, vendor server ${server_text[$case]} | ${f[${case}_buy_in_place_ms]} ms | ${f[${case}_press_floor_in_place_ms]} ms (the press floor: the same press, seven files, one status text) | ${in_place_ratio[$case]} | ≤ 1.15 | $(verdict "${in_place_ratio[$case]} <= 1.15") |"
    echo "| BUY press to the window answering again, vendor server ${server_text[$case]} | ${f[${case}_buy_finished_ms]} ms | ${f[${case}_press_floor_finished_ms]} ms (the press floor, answering again) | ${finished_ratio[$case]} | ≤ 1.25 | $(verdict "${finished_ratio[$case]} <= 1.25") |"
  done
  for case in "${cases[@]}"; do
    echo "| BUY press, median of each press's ratio to the press floor's in the same round, to Buy.txt / to answering, vendor server ${server_text[$case]} | | | ${f[${case}_buy_in_place_paired_ratio]} / ${f[${case}_buy_finished_paired_ratio]} | (information) | |"
    echo "| BUY press to its handler's return (a message sent next answered), vendor server ${server_text[$case]} | ${f[${case}_buy_answered_ms]} ms | ${f[${case}_press_floor_answered_ms]} ms (the press floor) | ${answered_ratio[$case]} | (information) | |"
    echo "| BUY press against the seven files written inside the driver (the earlier floor), to Buy.txt / to answering, vendor server ${server_text[$case]} | ${f[${case}_buy_in_place_ms]} / ${f[${case}_buy_finished_ms]} ms | ${f[${case}_floor_set_ms]} ms (seven files) | ${set_in_place_ratio[$case]} / ${set_finished_ratio[$case]} | (information) | |"
  done
  echo "| Seven files with the atomic replace, floor writer alone | | ${f[alone_floor_set_ms]} ms | | (information) | |"
  echo "| The panel's refresh code alone, no window (probe) | ${f[refresh_ms]} ms | $connect_query ms (connect ${f[connect_ms]} + query ${f[query_ms]} + disconnect ${f[disconnect_ms]}) | beyond: $refresh_beyond ms | beyond < one round trip (${f[round_trip_ms]} ms) | $(verdict "$refresh_beyond < ${f[round_trip_ms]}") |"
  echo
  if [ "$profile" = 1 ]; then
    echo "| Wine server requests (profile) | Panel | Floor | Beyond the floor |"
    echo "|---|---|---|---|"
    echo "| BUY press, from the click taken to Buy.txt in place | ${f[profile_quenmarel_press_file_requests]} | ${f[profile_bench_floor_press_press_file_requests]} (the press floor) | $(calc0 "${f[profile_quenmarel_press_file_requests]} - ${f[profile_bench_floor_press_press_file_requests]}") |"
    echo "| BUY press, from Buy.txt in place to waiting for input again, the window's thread | ${f[profile_quenmarel_press_after_requests]} | ${f[profile_bench_floor_press_press_after_requests]} | $(calc0 "${f[profile_quenmarel_press_after_requests]} - ${f[profile_bench_floor_press_press_after_requests]}") |"
    echo "| BUY press, the other threads (the vendor worker) | ${f[profile_quenmarel_press_other_requests]} | 0 | ${f[profile_quenmarel_press_other_requests]} |"
    echo "| Start-up to answering input | ${f[profile_quenmarel_startup_requests]} | ${f[profile_bench_floor_controls_startup_requests]} (the same-controls program) | $(calc0 "${f[profile_quenmarel_startup_requests]} - ${f[profile_bench_floor_controls_startup_requests]}") |"
    echo
    echo "A press by kind of request, all threads: the panel ${f[profile_quenmarel_press_kinds]}; the press floor"
    echo "${f[profile_bench_floor_press_press_kinds]}. Medians over $profile_presses presses with the vendor server refusing."
    echo
  fi
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
  echo "These rows were measured with FreeTDS through the shim that \`scripts/register-odbc.sh\` registers, whose login"
  echo "ends with its own 15 s time-out: the panel never gave a login up in these runs, so no thread was ever left"
  echo "inside the driver. With FreeTDS registered as \"SQL Server\" itself, each login to a server that never answers"
  echo "is given up and its thread left behind (at most two at once); that footprint, over ten presses and a"
  echo "10-minute soak, is in [the reliability figures](RELIABILITY.md) (\`scripts/reliability.sh --day\`)."
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
  echo "  milliseconds late; the driver asks about the pressed process, a request to the Wine server that also"
  echo "  serves the pressed program, only once a millisecond); the handler has returned when a \`WM_NULL\` sent"
  echo "  next is answered, and the window answers again when it then waits for input (\`WaitForInputIdle\`), its"
  echo "  labels repainted. The press floor (\`bench_floor_press\`) is a window with the controls a press touches,"
  echo "  made from the panel's layout table (the path, the six parameter boxes with their initial texts, the four"
  echo "  options with Backtest and 4-Digit selected, BUY and \`lblStatus\`) and built with the panel's resources:"
  echo "  the same posted \`BN_CLICKED\` for \`cmdBuy\` from the driver makes it read the path, the boxes and the"
  echo "  options once, form the seven values, replace the seven files with the panel's own atomic replace"
  echo "  (\`qm::ReplaceFileAtomically\`) in the exchange folder the path gives, put one report on its status label"
  echo "  and return. It runs beside the panel, pressed the same way in the same rounds, the two taking turns to"
  echo "  go first, $presses rounds in each case; the ratios use it. Before each round the driver also writes the"
  echo "  seven files itself (the earlier floor, now information); \`bench_floor_writer\` writes them alone,"
  echo "  $floor_sets sets in a loop."
  echo "- The profile (full runs, or \`--profile\`) counts what the programs ask of the Wine server, in the server's"
  echo "  request log (\`wineserver -d1\`, read by \`tools/bench/server_requests.awk\`): $profile_presses presses of the panel"
  echo "  and of the press floor with the vendor server refusing, and one start of the panel and of the"
  echo "  same-controls program, in a Wine prefix of the benchmark's own. Every request is a round trip to the one"
  echo "  server process that all Wine programs share. The log slows the programs down, so no time is taken there."
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
  echo "- **BUY press against the press floor**: the files are in place in ${in_place_ratio[answering]}, ${in_place_ratio[refusing]} and ${in_place_ratio[hanging]} times the"
  echo "  floor with the vendor server answering, refusing and never answering (each press against the floor's"
  echo "  in its round: ${f[answering_buy_in_place_paired_ratio]}, ${f[refusing_buy_in_place_paired_ratio]} and ${f[hanging_buy_in_place_paired_ratio]}), and the window answers again in ${finished_ratio[answering]}, ${finished_ratio[refusing]} and"
  echo "  ${finished_ratio[hanging]} times (${f[answering_buy_finished_paired_ratio]}, ${f[refusing_buy_finished_paired_ratio]} and ${f[hanging_buy_finished_paired_ratio]}). Against the earlier floor, seven files written inside the"
  echo "  driver, the same presses take ${set_in_place_ratio[refusing]} and ${set_finished_ratio[refusing]} times (server refusing): the difference between the two floors is"
  echo "  what any window pays to take a click from another process and answer again under Wine."
  echo "- **Profile of a press** (table above): up to \`Buy.txt\` the panel asks the Wine server exactly what the"
  echo "  press floor asks, seven requests a file (the temporary file created, its descriptor taken, closed, opened"
  echo "  again for the rename, its descriptor, the rename, closed). On this tree's base (db57da0) a press asked"
  echo "  59 times up to \`Buy.txt\` and about 20 after, against the floor's 48 and 6 to 8: a text given to"
  echo "  \`lblStatus\` for each of the eight reports (\`set_window_text\`, 8, though the label was not drawn), the"
  echo "  label's redraw turned off and on (\`set_window_info\`, 2; \`redraw_window\`, 2), its paint in a \`WM_PAINT\` of"
  echo "  its own with the theme check that goes with it (\`get_update_region\`, \`get_visible_region\`,"
  echo "  \`get_process_winstation\`, \`set_user_object_info\`, \`enum_key\`, \`set_caret_info\`), the hand-off to the"
  echo "  vendor worker and, with the server answering, the public message given again to \`lblAds2\` and painted."
  echo "  Mended: each writer still gives its report to the status line, by itself and in order, and the action's"
  echo "  report is still the first failure; the window's own procedure in front of the label keeps the texts"
  echo "  while the handler runs (reading the label gives the last one) and gives the last one to the label when"
  echo "  the handler returns, which sets it and paints it once, as the floor does. (A common-controls subclass"
  echo "  would have cost two requests a message: it finds itself in the label's properties.) The public message"
  echo "  label is no longer given the text it already shows. What the panel still does beyond the floor after"
  echo "  \`Buy.txt\` is the refresh: the request handed to the worker (a semaphore released), the worker's own"
  echo "  requests, and its result applied; with the server answering, the stand-in's login, query and logout run"
  echo "  on the worker while the window ends the press, on a machine with two cores, which is what the remaining"
  echo "  difference to answering again is: the handler returns in ${answered_ratio[answering]} times the floor's with the server answering and"
  echo "  ${answered_ratio[refusing]} refusing; with the server that never answers, whose refreshes wait behind the start-up login"
  echo "  and so do nothing during a press, in ${answered_ratio[hanging]} times."
  echo "- **Folder checks**: the writers have no folder check of their own; a writer's folder is derived afresh and"
  echo "  reported by the file operation itself (a missing folder is 76, as before). The one look at the target"
  echo "  before writing (\`GetFileAttributesW\` in the atomic replace: it refuses a read-only file, which Wine would"
  echo "  replace, and a folder) asks the Wine server nothing and is the same in the press floor. Wine's cost for"
  echo "  it, measured alone: 0.05 ms for a file that is there, 0.15 ms for a missing folder, and 0.46 ms for a file"
  echo "  that is not there (such as \`Buy.txt\` once the terminal has taken it), because Wine then reads the folder"
  echo "  for the name in other letter cases; creating the temporary file and renaming it over a missing name pay"
  echo "  the same search."
  echo "- **Start-up** does not wait for the vendor database: the start-up login runs on the vendor worker's"
  echo "  thread and its report reaches the status line when the login has failed (15 s login time-out, or the"
  echo "  worker's 17 s deadline). Against the program that shows the same 49 controls the panel takes"
  echo "  $answering_ratio times to answer input (each start against the one before it: ${f[panel_answering_paired_ratio]}). The load step's two"
  echo "  option changes report on the status line, which costs one text and one paint. The figure depends on the"
  echo "  machine more than on the panel: on the slower machine of 2026-12-09 three full runs gave 1.07, 1.11 and"
  echo "  1.07, and on the machine of 2026-12-10 (four times as fast for the empty window) the tree of"
  echo "  2026-12-09 (b641aa1) and this one start alike, 20 starts each, taking turns in one prefix: 1.48 and 1.31"
  echo "  (paired 1.52 and 1.22) against 1.54 and 1.60 (paired 1.49 and 1.66). Where the time goes, timed with"
  echo "  marks in a build of each program that prints them (process creation time to the mark, 10 to 14 starts,"
  echo "  medians on the second machine): the panel reaches its entry point at 28 ms against 14, since it loads"
  echo "  \`comctl32.dll\` and \`odbc32.dll\`, which it imports, before it runs, where the same-controls program"
  echo "  loads \`comctl32.dll\` with its first control; the window and its controls take 20 to 30 ms against 28"
  echo "  to 34; showing it with the load step's option changes 4 to 20 against 4 to 7; and the first paint 45 ms"
  echo "  against 22, of which the menu bar, which the same-controls program does not have, is most: a build of"
  echo "  the panel without it painted in 20 ms. Each of these runs is bimodal under Xvfb (a paint takes either"
  echo "  about 20 or about 50 ms), which is why the ratio moves so much between runs of 20 starts. The start-up"
  echo "  login runs on the vendor worker after the first paint and costs the start nothing: a build that does not"
  echo "  start it answered at the same time. In the panel, loading \`odbc32.dll\` at the first ODBC call instead"
  echo "  (a delay-loaded import) took only 4 ms from the time before the entry point on the first machine and"
  echo "  was left out. Under Wine's X11 driver the same-controls program alone takes"
  echo "  $controls_floor_ratio times the empty window, because every control costs round trips to the Wine server when it is"
  echo "  created, placed, given a font or painted."
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
# The figures the findings rest on, to read or copy at once.
sed -n '/^| Figure/,/^$/p; /^| Wine server requests/,/^$/p' "$out"

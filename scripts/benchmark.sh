#!/usr/bin/env bash
# Measures the panel where a trader feels it and writes the figures, each against a floor timed in the same
# rounds (absolute times on a shared machine are noise; ratios of programs timed side by side are not):
#   start-up   process start to window shown and to the window answering input, with a vendor server that
#              takes the connection and never answers, against a program that shows what the panel must show
#              (its menu bar, controls, colours, tooltip and start selections), and for information the same
#              without the menu bar and one empty window;
#   BUY press  window message from another process to Buy.txt in place and to the window answering again,
#              against a window that takes the same press and does what a press must (the seven files with
#              the same atomic replace, one status text), with the vendor server answering (a stand-in SQLite
#              database), refusing (a closed port) and hanging;
#   footprint  executable size, private memory, handles and GDI/USER objects after start-up and their growth
#              over bursts of presses.
# Every timed figure is the median of per-round ratios with its 95 % bootstrap interval; rounds go on until
# the interval's half-width is 0.05 or less, or until a limit (the figures then say how many it would take).
# A goal is met when the interval's upper end is within it, open when the interval straddles it. Timing goals
# are reported, never enforced: the command fails only when a figure could not be measured. Everything runs
# under Wine in the build tree's own prefix, on a virtual display when there is none: Wine 8, this machine's,
# or with --wine 10 (or QM_WINE=10) Wine 10 from the Debian 13 root that scripts/wine10-root.sh makes.
#
#   scripts/benchmark.sh                # full run; writes docs/PERFORMANCE.md
#   scripts/benchmark.sh --wine 10      # the same under Wine 10; writes docs/PERFORMANCE-wine10.md (every file
#                                       # it writes, as each below, is named with -wine10)
#   scripts/benchmark.sh --short        # a quick check that it still works; writes <build>/bench/PERFORMANCE.md
#   scripts/benchmark.sh --compare REV  # builds REV's panel beside this tree and times the two in the same
#                                       # rounds, taking turns: each row's ratio, this tree over REV, with its
#                                       # interval; writes <build>/bench/COMPARE.md (with --short: a few rounds)
#   options: --no-build (use the programs already built, install nothing; REV is built all the same),
#            --out FILE, --profile and --no-profile (count the Wine server requests of a press and of a
#            start; full runs do)
# QM_BUILD_DIR picks the Windows build tree (default build/mingw, the README's); a fresh one starts programs
# as a new user's prefix does.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"

short=0
build_programs=1
profile=""
out=""
compare=""
export QM_WINE="${QM_WINE:-8}"
args=("$@")
while [ $# -gt 0 ]; do
  case "$1" in
    --short) short=1; shift ;;
    --no-build) build_programs=0; shift ;;
    --profile) profile=1; shift ;;
    --no-profile) profile=0; shift ;;
    --out) out="$(realpath -m "${2:?--out needs a file}")"; shift 2 ;;
    --compare) compare="${2:?--compare needs a revision}"; shift 2 ;;
    --wine) export QM_WINE="${2:?--wine needs 8 or 10}"; shift 2 ;;
    -h | --help) sed -n '2,35p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "benchmark: unknown argument: $1" >&2; exit 2 ;;
  esac
done
case "$QM_WINE" in 8 | 10) ;; *) echo "benchmark: --wine is 8 or 10, not $QM_WINE" >&2; exit 2 ;; esac
# What a run writes is its Wine's own, named with -wine10 after Wine 8's, as wine-run.sh names its prefixes.
wine_suffix=""
[ "$QM_WINE" = 8 ] || wine_suffix="-wine$QM_WINE"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1600x1200x24" "$0" "${args[@]}"
fi

build="$(realpath -m "${QM_BUILD_DIR:-$repo/build/mingw}")"
# Rounds: at least, at most. A start-up round starts each program once, a press round presses each once.
if [ "$short" = 1 ]; then
  startup_rounds=(2 2); press_rounds=(5 5); leak_presses=50; probe_rounds=5; login_rounds=5; floor_sets=20
  default_out="$build/bench/PERFORMANCE$wine_suffix.md"
  profile="${profile:-0}"
else
  startup_rounds=(20 200); press_rounds=(50 400); leak_presses=1000; probe_rounds=400; login_rounds=50
  floor_sets=200
  default_out="$repo/docs/PERFORMANCE$wine_suffix.md"
  profile="${profile:-1}"
fi
if [ -n "$compare" ]; then
  default_out="$build/bench/COMPARE$wine_suffix.md"
  profile=0
  compare_hash="$(git rev-parse --verify --quiet "$compare^{commit}")" ||
    { echo "benchmark: no such revision: $compare" >&2; exit 2; }
fi
out="${out:-$default_out}"
profile_presses=5
message_rows=100

if [ "$build_programs" = 1 ]; then
  scripts/install-deps.sh
  [ "$QM_WINE" = 8 ] || scripts/wine10-root.sh >/dev/null
  cmake --preset mingw -B "$build" >/dev/null
  cmake --build "$build" --target bench_programs
fi
wine_run="$build/wine-run.sh"
# `wine` and `wineserver` of the Wine that runs the programs, for the profile and the machine's description.
[ "$QM_WINE" = 8 ] || export PATH="$build/wine10/bin:$PATH"
panel="$build/src/ui/Quenmarel.exe"
bench="$build/tools/bench"
for program in "$panel" "$bench"/bench_{floor_window,floor_no_menu,floor_controls,floor_press,floor_writer,odbc_probe,driver}.exe \
  "$wine_run"; do
  [ -f "$program" ] || { echo "benchmark: $program is missing; build the target bench_programs" >&2; exit 1; }
done

# REV's panel, from its committed files, in a build tree of its own that later comparisons with REV reuse.
if [ -n "$compare" ]; then
  revision="$build/bench/compare/$compare_hash"
  if [ ! -f "$revision/source/CMakeLists.txt" ]; then
    rm -rf "$revision/source"
    mkdir -p "$revision/source"
    git archive "$compare_hash" | tar -x -C "$revision/source"
  fi
  echo "benchmark: building the panel of $compare ($compare_hash) in $revision/build"
  (cd "$revision/source" && cmake --preset mingw -B "$revision/build" -DBUILD_TESTING=OFF >/dev/null)
  cmake --build "$revision/build" --target Quenmarel
  old_panel="$revision/build/src/ui/Quenmarel.exe"
fi

# A fresh work folder: two driver lists, the stand-in database's folder and a terminal data folder for each
# program pressed.
work="$build/bench/work$wine_suffix"
rm -rf "$work"
mkdir -p "$work"/{odbc-down,odbc-sqlite,db,floor}
for data in panel floor old new; do
  mkdir -p "$work/data-$data/MQL4/Experts" "$work/data-$data/tester/files"
  : >"$work/data-$data/MQL4/Experts/Kelvarinth_V10x.ex4"
done
scripts/register-odbc.sh --dir "$work/odbc-down" >/dev/null
sqlite_driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so
[ -f "$sqlite_driver" ] || { echo "benchmark: the SQLite ODBC driver is missing; run scripts/install-deps.sh" >&2; exit 1; }
printf '[SQL Server]\nDescription=SQLite standing in for the vendor database\nDriver=%s\n' "$sqlite_driver" \
  >"$work/odbc-sqlite/odbcinst.ini"
windows() { printf 'Z:%s' "${1//\//\\}"; }
# The programs are timed as a trader gets the panel, stripped of their debug information as the packages
# ship it: here the panel as built started some 8 % slower than stripped, and the floors carry less of it.
programs="$work/programs"
mkdir -p "$programs/old"
for program in "$panel" "$bench"/bench_floor_{window,no_menu,controls,press}.exe; do
  x86_64-w64-mingw32-strip -o "$programs/$(basename "$program")" "$program"
done
[ -z "$compare" ] || x86_64-w64-mingw32-strip -o "$programs/old/Quenmarel.exe" "$old_panel"

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

# The machine is shared: how busy it was when the measuring began, and when it ended, goes with the figures.
load_at_start="$(cut -d' ' -f1-3 /proc/loadavg)"
# The prefix, created once, with the panel's font (MS Sans Serif from fonts-wine), as wine-run.sh gives it.
"$wine_run" cmd /c exit >/dev/null 2>&1 || true
serve hang hang_port
serve closed closed_port

# The programs each timed mode takes turns with, floors (or REV) first and the program measured last, as
# NAME PROGRAM, and for presses NAME PROGRAM DATA_FOLDER.
timed() { windows "$programs/$1"; }
if [ -n "$compare" ]; then
  starts=(old "$(timed old/Quenmarel.exe)" new "$(timed Quenmarel.exe)")
  pressed=(old "$(timed old/Quenmarel.exe)" "$(windows "$work/data-old")"
           new "$(timed Quenmarel.exe)" "$(windows "$work/data-new")")
  leak_presses=0
else
  starts=(window "$(timed bench_floor_window.exe)" no_menu "$(timed bench_floor_no_menu.exe)"
          controls "$(timed bench_floor_controls.exe)" panel "$(timed Quenmarel.exe)")
  pressed=(floor "$(timed bench_floor_press.exe)" "$(windows "$work/data-floor")"
           panel "$(timed Quenmarel.exe)" "$(windows "$work/data-panel")")
fi

# FreeTDS takes the server's address from TDSHOST and TDSPORT, whatever the panel's fixed connection string
# names; a program started under Wine gets them from the Linux environment of the program that starts it.
echo "benchmark: start-up with a server that never answers (${startup_rounds[0]} to ${startup_rounds[1]} rounds)"
TDSHOST=127.0.0.1 TDSPORT="$hang_port" run odbc-down "$bench/bench_driver.exe" startup "${startup_rounds[@]}" \
  "${starts[@]}" | record "startup_"
if [ -z "$compare" ]; then
  echo "benchmark: login attempts to the unreachable host ($login_rounds)"
  run odbc-down "$bench/bench_odbc_probe.exe" unreachable "$login_rounds" | record ""
  echo "benchmark: floor writer alone ($floor_sets sets)"
  run odbc-down "$bench/bench_floor_writer.exe" "$(windows "$work/floor")" "$floor_sets" | record "alone_"
fi
echo "benchmark: stand-in database ($message_rows rows)"
run odbc-sqlite "$bench/bench_odbc_probe.exe" create "$message_rows" | record ""
if [ -z "$compare" ]; then
  echo "benchmark: the stand-in's connect and query ($probe_rounds rounds)"
  run odbc-sqlite "$bench/bench_odbc_probe.exe" measure "$probe_rounds" | record ""
fi
# BUY presses with the vendor server answering (the stand-in), refusing and hanging; the footprint's growth
# is read with the stand-in, where every refresh reads and shows a message.
presses_with() {  # CASE DRIVER_LIST PORT LEAK_PRESSES
  echo "benchmark: BUY presses, vendor server $1 (${press_rounds[0]} to ${press_rounds[1]} rounds, $4 for the footprint)"
  TDSHOST=127.0.0.1 TDSPORT="$3" run "$2" "$bench/bench_driver.exe" clicks "${press_rounds[@]}" "$4" \
    "${pressed[@]}" | record "${1}_"
}
presses_with answering odbc-sqlite "$closed_port" "$leak_presses"
presses_with refusing odbc-down "$closed_port" 0
presses_with hanging odbc-down "$hang_port" 0

# The server that never answers must have been reached: by every start of the panel and by its presses.
echo "hang_server_connections=$(cat "$work/hang.port.taken" 2>/dev/null || echo 0)" >>"$figures"

# The profile: what the programs ask of the Wine server, counted in its request log (wineserver -d1), for
# a few presses with the vendor server refusing and one start of each program. A request is a round trip
# to the one server every Wine program of the prefix shares. The log slows every program down, so this
# runs apart from the timed runs, in a prefix of its own (made once, with the fonts wine-run.sh gives the
# build tree's prefix), whose server it starts itself.
if [ "$profile" = 1 ]; then
  echo "benchmark: profile, the Wine server's request log ($profile_presses presses, one start each)"
  prefix="$build/bench/profile-prefix$wine_suffix"
  fonts="$("$wine_run" --prefix)/drive_c/windows/Fonts"
  log="$work/server-requests.log"
  (
    export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
    if [ ! -f "$prefix/.qm-ready" ]; then
      wineboot -i </dev/null >/dev/null 2>&1
      wineserver -w
      touch "$prefix/.qm-ready"
    fi
    cp -n "$fonts"/*.fon "$fonts"/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    wineserver -w
    wineserver -f -d1 </dev/null >/dev/null 2>"$log" &
    server=$!
    for _ in $(seq 1 100); do
      grep -q "starting" "$log" 2>/dev/null && break
      sleep 0.1
    done
    cd "$work/db"
    ODBCSYSINI="$work/odbc-down" TDSHOST=127.0.0.1 TDSPORT="$closed_port" wine "$bench/bench_driver.exe" clicks \
      "$profile_presses" "$profile_presses" 0 "${pressed[@]}" >/dev/null 2>&1
    ODBCSYSINI="$work/odbc-down" TDSHOST=127.0.0.1 TDSPORT="$hang_port" wine "$bench/bench_driver.exe" startup 1 1 \
      "${starts[@]:4}" >/dev/null 2>&1
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
need_ratio() { for name in "$@"; do need "$name" "${name}_low" "${name}_high"; done; }
cases=(answering refusing hanging)
if [ -n "$compare" ]; then
  before=old; after=new
  need_ratio startup_new_over_old_shown startup_new_over_old_answering
  need startup_rounds startup_rounds_needed startup_{old,new}_{shown,answering}_ms
else
  before=floor; after=panel
  need_ratio startup_panel_over_controls_{shown,answering} startup_panel_over_no_menu_answering \
    startup_controls_over_no_menu_answering startup_no_menu_over_window_shown
  need startup_rounds startup_rounds_needed startup_{window,no_menu,controls,panel}_shown_ms \
    startup_{no_menu,controls,panel}_answering_ms startup_panel_first_report_ms \
    startup_footprint_{private_kb,handles,gdi,user} unreachable_first_ms unreachable_ms alone_floor_set_ms \
    connect_ms query_ms disconnect_ms round_trip_ms refresh_ms answering_press_pause_ms \
    answering_footprint_{warmed,first_burst,second_burst}_{private_kb,handles,gdi,user}
fi
for case in "${cases[@]}"; do
  need_ratio "${case}_${after}_over_${before}_"{in_place,answered,finished}
  need "${case}_rounds" "${case}_rounds_needed" "${case}_"{"$before","$after"}_{in_place,answered,finished}_ms
done
if [ "$profile" = 1 ]; then
  need profile_quenmarel_press_file_requests profile_quenmarel_press_after_requests \
    profile_quenmarel_press_other_requests profile_bench_floor_press_press_file_requests \
    profile_bench_floor_press_press_after_requests profile_quenmarel_startup_requests \
    profile_bench_floor_controls_startup_requests
fi
if [ "${f[hang_server_connections]}" -lt $((${f[startup_rounds]:-0} + 2)) ]; then
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
ms() { echo "${f[$1]} ms"; }
# A ratio figure as "1.04 (0.99 to 1.09)": the median of the per-round ratios and its 95 % interval.
ratio() { echo "$(calc "${f[$1]}") ($(calc "${f[${1}_low]}") to $(calc "${f[${1}_high]}"))"; }
# Against a goal of at most GOAL: met when the whole interval is within it, missed when none of it is.
goal() {
  awk -v low="${f[${1}_low]}" -v high="${f[${1}_high]}" -v goal="$2" \
    'BEGIN { print (high <= goal) ? "met" : (low > goal) ? "missed" : "open" }'
}
# The rounds of a timed mode, and how many an interval of ±0.05 would have taken where the limit came first.
rounds() {
  local taken="${f[${1}_rounds]}" needed="${f[${1}_rounds_needed]}"
  if [ "$needed" -gt "$taken" ]; then echo "$taken (±0.05: about $needed)"; else echo "$taken"; fi
}
count() { if [ "$1" -lt 0 ]; then echo "n/a"; else echo "$1"; fi; }
# Growth per 1,000 presses over two bursts after a warming one: a handle taken once grows in one burst
# only, a leak in both, so the growth is the smaller of the two, and none unless both grew.
growth() {
  local warmed="${f[answering_footprint_warmed_$1]}" first="${f[answering_footprint_first_burst_$1]}"
  local second="${f[answering_footprint_second_burst_$1]}"
  if awk "BEGIN { exit !($warmed < 0 || $first < 0 || $second < 0) }"; then echo "n/a"; return; fi
  calc "($first > $warmed && $second > $first) ? (($first - $warmed < $second - $first) ? $first - $warmed : $second - $first) * 1000 / $leak_presses : 0"
}
leak_goal() {  # no growth: "met", "missed", or nothing when the system did not say
  local g; g=$(growth "$1")
  [ "$g" = "n/a" ] && return
  awk "BEGIN { print ($g > 0) ? \"missed\" : \"met\" }"
}
declare -A server_text=([answering]="answering (the stand-in)" [refusing]="refusing (closed port)" \
                        [hanging]="never answering")
machine() {
  echo "Machine: $(. /etc/os-release 2>/dev/null && echo "$PRETTY_NAME"), $(uname -sr), $(nproc) cores" \
       "($(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)), $(wine --version 2>/dev/null)," \
       "Xvfb; load average $load_at_start when the measuring began, $(cut -d' ' -f1-3 /proc/loadavg) when it ended."
}
mkdir -p "$(dirname "$out")"

if [ -n "$compare" ]; then
  {
    echo "# This tree against $compare"
    echo
    echo "Made by \`scripts/benchmark.sh ${args[*]}\` on $(date -u '+%Y-%m-%d %H:%M UTC'): the panel of this tree" \
         "and that of $compare ($compare_hash) in the same rounds, taking turns."
    echo
    machine
    echo
    echo "| Figure | This tree | $compare | Ratio, this tree over $compare (95 % interval) | Rounds |"
    echo "|---|---|---|---|---|"
    echo "| Start-up to main window shown, vendor server never answering | $(ms startup_new_shown_ms) | $(ms startup_old_shown_ms) | $(ratio startup_new_over_old_shown) | $(rounds startup) |"
    echo "| Start-up to the window answering input, vendor server never answering | $(ms startup_new_answering_ms) | $(ms startup_old_answering_ms) | $(ratio startup_new_over_old_answering) | |"
    for case in "${cases[@]}"; do
      echo "| BUY press to Buy.txt in place, vendor server ${server_text[$case]} | $(ms "${case}_new_in_place_ms") | $(ms "${case}_old_in_place_ms") | $(ratio "${case}_new_over_old_in_place") | $(rounds "$case") |"
      echo "| BUY press to its handler's return, vendor server ${server_text[$case]} | $(ms "${case}_new_answered_ms") | $(ms "${case}_old_answered_ms") | $(ratio "${case}_new_over_old_answered") | |"
      echo "| BUY press to the window answering again, vendor server ${server_text[$case]} | $(ms "${case}_new_finished_ms") | $(ms "${case}_old_finished_ms") | $(ratio "${case}_new_over_old_finished") | |"
    done
    echo
    echo "An interval that holds 1.00 is a difference the bench cannot tell from none; one above 1.00 means this"
    echo "tree is slower, one below, faster."
  } >"$out"
  echo "benchmark: wrote $out"
  sed -n '/^| Figure/,/^$/p' "$out"
  exit 0
fi

exe_kb=$(calc "$(stat -c %s "$panel") / 1024")
stripped_kb=$(calc "$(stat -c %s "$programs/Quenmarel.exe") / 1024")
connect_query=$(calc3 "${f[connect_ms]} + ${f[query_ms]} + ${f[disconnect_ms]}")
refresh_beyond=$(calc3 "${f[refresh_ms]} - $connect_query")
press() { ratio "${1}_panel_over_floor_$2"; }

# How the figures are made and what they show is written by hand below a marker in docs/PERFORMANCE.md;
# every run keeps it as it is, whatever file it writes.
notes_marker="<!-- Written by scripts/benchmark.sh down to here; the notes below are kept as they are. -->"
notes="$(awk -v marker="$notes_marker" 'kept { print } $0 == marker { kept = 1 }' "$repo/docs/PERFORMANCE.md")"
mode_text="full"; [ "$short" = 1 ] && mode_text="short (a check that the benchmark works; too few rounds for figures)"
{
  echo "# Performance figures"
  echo
  echo "Made by \`scripts/benchmark.sh${args[*]:+ ${args[*]}}\` on $(date -u '+%Y-%m-%d %H:%M UTC'), $mode_text run."
  echo
  machine
  echo
  echo "Times are medians. Each ratio is the median of the per-round ratios of the panel to its floor, timed in"
  echo "the same rounds, with its 95 % bootstrap interval; a goal is met when the interval's upper end is within"
  echo "it, and open while the interval straddles it."
  echo
  echo "| Figure | Panel | Floor | Ratio (95 % interval) | Rounds | Goal | Result |"
  echo "|---|---|---|---|---|---|---|"
  echo "| Start-up to the window answering input, vendor server never answering | $(ms startup_panel_answering_ms) | $(ms startup_controls_answering_ms) (the panel's menu bar and 49 controls with their colours, tooltip and start selections, shown, painted, a status text written, answering) | $(ratio startup_panel_over_controls_answering) | $(rounds startup) | ≤ 1.10 | $(goal startup_panel_over_controls_answering 1.10) |"
  echo "| The same against that floor without the menu bar | $(ms startup_panel_answering_ms) | $(ms startup_no_menu_answering_ms) | $(ratio startup_panel_over_no_menu_answering) | | (information) | |"
  echo "| Start-up to main window shown | $(ms startup_panel_shown_ms) | $(ms startup_controls_shown_ms) (the floor shown) | $(ratio startup_panel_over_controls_shown) | | (information) | |"
  echo "| The floor's menu bar: the floor against the same without it, to answering | $(ms startup_controls_answering_ms) | $(ms startup_no_menu_answering_ms) | $(ratio startup_controls_over_no_menu_answering) | | (information) | |"
  echo "| The floor without the menu bar against an empty window, to shown | $(ms startup_no_menu_shown_ms) | $(ms startup_window_shown_ms) (empty window shown) | $(ratio startup_no_menu_over_window_shown) | | (information) | |"
  echo "| Start-up to the first status report (option changes, before the first paint and the login) | $(ms startup_panel_first_report_ms) | | | | (information) | |"
  echo "| Login attempt to the unreachable host, first in a process (probe; loads the driver) | $(ms unreachable_first_ms) | | | | (information) | |"
  for case in "${cases[@]}"; do
    echo "| BUY press to Buy.txt in place, vendor server ${server_text[$case]} | $(ms "${case}_panel_in_place_ms") | $(ms "${case}_floor_in_place_ms") (the press floor: the same press, seven files, one status text) | $(press "$case" in_place) | $(rounds "$case") | ≤ 1.15 | $(goal "${case}_panel_over_floor_in_place" 1.15) |"
    echo "| BUY press to the window answering again, vendor server ${server_text[$case]} | $(ms "${case}_panel_finished_ms") | $(ms "${case}_floor_finished_ms") (the press floor, answering again) | $(press "$case" finished) | | ≤ 1.25 | $(goal "${case}_panel_over_floor_finished" 1.25) |"
  done
  for case in "${cases[@]}"; do
    echo "| BUY press to its handler's return (a message sent next answered), vendor server ${server_text[$case]} | $(ms "${case}_panel_answered_ms") | $(ms "${case}_floor_answered_ms") (the press floor) | $(press "$case" answered) | | (information) | |"
  done
  echo "| Seven files with the atomic replace, floor writer alone | | $(ms alone_floor_set_ms) | | | (information) | |"
  echo "| The panel's refresh code alone, no window (probe) | $(ms refresh_ms) | $connect_query ms (connect ${f[connect_ms]} + query ${f[query_ms]} + disconnect ${f[disconnect_ms]}) | beyond: $refresh_beyond ms | ${probe_rounds} | beyond < one round trip (${f[round_trip_ms]} ms) | $(verdict "$refresh_beyond < ${f[round_trip_ms]}") |"
  echo
  if [ "$profile" = 1 ]; then
    echo "| Wine server requests (profile) | Panel | Floor | Beyond the floor |"
    echo "|---|---|---|---|"
    echo "| BUY press, from the click taken to Buy.txt in place | ${f[profile_quenmarel_press_file_requests]} | ${f[profile_bench_floor_press_press_file_requests]} (the press floor) | $(calc0 "${f[profile_quenmarel_press_file_requests]} - ${f[profile_bench_floor_press_press_file_requests]}") |"
    echo "| BUY press, from Buy.txt in place to waiting for input again, the window's thread | ${f[profile_quenmarel_press_after_requests]} | ${f[profile_bench_floor_press_press_after_requests]} | $(calc0 "${f[profile_quenmarel_press_after_requests]} - ${f[profile_bench_floor_press_press_after_requests]}") |"
    echo "| BUY press, the other threads (the vendor worker) | ${f[profile_quenmarel_press_other_requests]} | 0 | ${f[profile_quenmarel_press_other_requests]} |"
    echo "| Start-up to answering input | ${f[profile_quenmarel_startup_requests]} | ${f[profile_bench_floor_controls_startup_requests]} (the start-up floor) | $(calc0 "${f[profile_quenmarel_startup_requests]} - ${f[profile_bench_floor_controls_startup_requests]}") |"
    echo
    echo "A press by kind of request, all threads: the panel ${f[profile_quenmarel_press_kinds]}; the press floor"
    echo "${f[profile_bench_floor_press_press_kinds]}. Medians over $profile_presses presses with the vendor server refusing."
    echo
  fi
  echo "| Footprint | After start-up | Growth per 1,000 BUY presses | Goal | Result |"
  echo "|---|---|---|---|---|"
  echo "| Quenmarel.exe size, as built (with debug information) | $exe_kb KiB | | (information) | |"
  echo "| Quenmarel.exe size, stripped (as timed and shipped) | $stripped_kb KiB | | (information) | |"
  echo "| Private memory | ${f[startup_footprint_private_kb]} KiB | $(growth private_kb) KiB | (information) | |"
  echo "| Handles | $(count "${f[startup_footprint_handles]}") | $(growth handles) | no growth | $(leak_goal handles) |"
  echo "| GDI objects | $(count "${f[startup_footprint_gdi]}") | $(growth gdi) | no growth | $(leak_goal gdi) |"
  echo "| USER objects | $(count "${f[startup_footprint_user]}") | $(growth user) | no growth | $(leak_goal user) |"
  echo
  echo "The footprint after start-up is the panel's with the start-up login to a server that never answers still"
  echo "in progress. Growth was read with the vendor server answering over two bursts of $leak_presses presses back to"
  echo "back, after the timed presses (the first loads the ODBC driver and its libraries once) and a warming"
  echo "burst of $leak_presses: handles ${f[answering_footprint_warmed_handles]}, ${f[answering_footprint_first_burst_handles]} and ${f[answering_footprint_second_burst_handles]} after the three bursts. A count that"
  echo "grows in one burst only is taken once, not leaked; growth counts where both bursts grew, the smaller of"
  echo "the two, scaled to 1,000."
  echo "These rows were measured with FreeTDS through the shim that \`scripts/register-odbc.sh\` registers, whose login"
  echo "ends with its own 15 s time-out: the panel never gave a login up in these runs, so no thread was ever left"
  echo "inside the driver. With FreeTDS registered as \"SQL Server\" itself, each login to a server that never answers"
  echo "is given up and its thread left behind (at most two at once); that footprint, over ten presses and a"
  echo "10-minute soak, is in [the reliability figures](RELIABILITY.md) (\`scripts/reliability.sh --day\`)."
  echo "\"n/a\": the system did not report the count."
  echo
  echo "$notes_marker"
  echo "$notes"
} >"$out"
echo "benchmark: wrote $out"
# The figures the findings rest on, to read or copy at once.
sed -n '/^| Figure/,/^$/p; /^| Wine server requests/,/^$/p; /^| Footprint/,/^$/p' "$out"

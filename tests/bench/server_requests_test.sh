#!/usr/bin/env bash
# The benchmark's count of Wine server requests, on a small request log written out here: the panel started
# (its main thread 0024, a worker thread 0030 it makes itself), another program's requests in between that do
# not count, and two BUY presses, the second with one request more before Buy.txt and one on the worker.
#   server_requests_test.sh SERVER_REQUESTS_AWK
set -euo pipefail
awk_file="$1"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
cat >"$log" <<'EOF'
0010: new_process( token=0000, info={imagepath=L"Z:\\work\\build\\src\\ui\\Quenmarel.exe",cmdline=L""} )
0010: new_process() = 0 { info=0014, pid=0020, handle=0018 }
0024: init_first_thread( unix_pid=1, unix_tid=1, debug_level=0 )
0024: init_first_thread() = 0 { pid=0020, tid=0024, server_start=0 }
0024: open_key( parent=0000, access=00020019, name=L"x" )
0024: open_key() = 0 { hkey=0004 }
0024: new_thread( process=ffffffff, access=001fffff, flags=00000001 )
0024: new_thread() = 0 { tid=0030, handle=0008 }
0044: get_message( flags=0 )
0044: get_message() = 0 { win=00010050, msg=00000111, type=6 }
0024: get_message( flags=0 )
0024: *wakeup* signaled=0
0024: get_message() = 0 { win=00010090, msg=00000000, type=5, x=0 }
0024: reply_message( remove=1, result=00000000 )
0024: reply_message() = 0
0024: get_message( flags=0 )
0024: get_message() = 0 { win=00010090, msg=00000111, wparam=0000007f, type=6 }
0024: create_file( access=40100080, name=L"\\??\\Z:\\f\\~qm1-0.tmp" )
0024: create_file() = 0 { handle=0098 }
0044: create_file( access=1, name=L"\\??\\Z:\\other\\Buy.txt" )
0024: set_fd_name_info( handle=0098, name=L"\\??\\Z:\\f\\Buy.txt", replace=1 )
0024: set_fd_name_info() = 0
0030: release_semaphore( handle=0094 )
0024: set_window_text( handle=000100f0, text=L"Status: OK." )
0024: get_message( flags=0 )
0024: get_message() = 0 { win=00010090, msg=00000000, type=5, x=0 }
0024: reply_message( remove=1, result=00000000 )
0024: get_message( flags=0 )
0024: get_message() = PENDING { win=00000000, msg=00000000 }
0024: select( flags=2, timeout=infinite )
0030: select( flags=2, timeout=infinite )
0024: get_message( flags=0 )
0024: get_message() = 0 { win=00010090, msg=00000111, wparam=0000007f, type=6 }
0024: create_file( access=40100080, name=L"\\??\\Z:\\f\\~qm1-1.tmp" )
0024: close_handle( handle=0098 )
0024: set_fd_name_info( handle=0098, name=L"\\??\\Z:\\f\\Buy.txt", replace=1 )
0030: release_semaphore( handle=0094 )
0030: event_op( handle=0090, op=1 )
0024: set_window_text( handle=000100f0, text=L"Status: OK." )
0024: get_message( flags=0 )
0024: get_message() = 0 { win=00010090, msg=00000000, type=5, x=0 }
0024: reply_message( remove=1, result=00000000 )
0024: get_message( flags=0 )
0024: get_message() = PENDING { win=00000000, msg=00000000 }
EOF

expected="quenmarel_startup_requests=4
quenmarel_press_file_requests=2.5
quenmarel_press_after_requests=4
quenmarel_press_other_requests=1.5
quenmarel_press_kinds=create_file 1, event_op 1, get_message 2, release_semaphore 1, reply_message 1, set_fd_name_info 1, set_window_text 1, close_handle 1"
actual=$(awk -v programs="Quenmarel.exe" -f "$awk_file" "$log")
# The kinds of the last press, in any order among equal counts.
normalise() { sed 's/\(_kinds=\)\(.*\)/\1/' <<<"$1"; kinds "$1"; }
kinds() { sed -n 's/^quenmarel_press_kinds=//p' <<<"$1" | tr ',' '\n' | sed 's/^ //' | sort; }
if [ "$(normalise "$actual")" != "$(normalise "$expected")" ]; then
  echo "server_requests: expected" >&2
  echo "$expected" >&2
  echo "server_requests: got" >&2
  echo "$actual" >&2
  exit 1
fi
echo "server_requests: the counts are right"

# Counts the Wine server requests of the benchmark's programs in a request log (wineserver -d1), where every
# request is one line "TID: name( arguments )" and its reply "TID: name() = STATUS { ... }", in the order the
# server took them.
#
#   awk -v programs="Quenmarel.exe bench_floor_press.exe" -f server_requests.awk LOG
#
# For each program (the image name of a process) it prints, as name=value lines with the program's name
# less ".exe" and made lower case:
#   <name>_startup_requests       from its first thread to its answer to the driver's WM_NULL (answering)
#   <name>_press_file_requests    median over its presses: from taking the posted BN_CLICKED on the window's
#                                 thread to Buy.txt renamed into place
#   <name>_press_after_requests   from then on, on the window's thread, until it next finds no message after
#                                 answering the driver's WM_NULL
#   <name>_press_other_requests   the requests of its other threads in the same time
#   <name>_press_kinds            the requests of its last press by kind, most first ("kind count, ...")

function image_of(pid) { return (pid in image) ? image[pid] : "?" }
function wanted(name,    i) { for (i in want) if (want[i] == name) return 1; return 0 }
function median(list, n,    i, j, t, v) {
  if (n == 0) return -1
  for (i = 1; i <= n; ++i) v[i] = list[i]
  for (i = 2; i <= n; ++i) for (j = i; j > 1 && v[j - 1] > v[j]; --j) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
  return (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
}

BEGIN { split(programs, want, " ") }

{
  tid = substr($1, 1, 4)
  if ($1 !~ /^[0-9a-f][0-9a-f][0-9a-f][0-9a-f]:$/) next
  call = $2
  reply = (call ~ /\(\)$/)
  sub(/\(.*/, "", call)
  if (call !~ /^[a-z_]+$/) next  # the server's notes on descriptors and wake-ups
}

# Which process each thread belongs to, and which program each process runs.
!reply && call == "new_process" {
  match($0, /imagepath=L"[^"]*"/)
  path = substr($0, RSTART + 11, RLENGTH - 12)
  n = split(path, parts, /\\+/)
  asked_image[tid] = parts[n]
}
reply && call == "new_process" {
  match($0, /pid=[0-9a-f]+/)
  image[substr($0, RSTART + 4, RLENGTH - 4)] = asked_image[tid]
}
!reply && call == "new_thread" && $0 ~ /process=ffffffff/ { own_thread_asked[tid] = 1 }
reply && call == "new_thread" && (tid in own_thread_asked) {
  delete own_thread_asked[tid]
  match($0, /tid=[0-9a-f]+/)
  process_of[substr($0, RSTART + 4, RLENGTH - 4)] = process_of[tid]
}
reply && call == "init_first_thread" {
  match($0, /pid=[0-9a-f]+/); pid = substr($0, RSTART + 4, RLENGTH - 4)
  match($0, /tid=[0-9a-f]+/); first = substr($0, RSTART + 4, RLENGTH - 4)
  process_of[first] = pid
  main_thread[pid] = first
  name = image_of(pid)
  if (wanted(name)) { starting[pid] = 1; start_count[pid] = 0; ++starts[name] }
}

{
  pid = (tid in process_of) ? process_of[tid] : ""
  if (pid == "" || !wanted(image_of(pid))) next
  name = image_of(pid)
  main = (tid == main_thread[pid])
}

# Start-up: every request of the process until it answers the driver's WM_NULL.
!reply && (pid in starting) { ++start_count[pid] }
reply && main && call == "get_message" && $0 ~ /msg=00000000,/ && $0 ~ /type=5,/ { null_taken[pid] = 1 }
!reply && main && call == "reply_message" && (pid in null_taken) {
  delete null_taken[pid]
  if (pid in starting) { delete starting[pid]; startup[name, starts[name]] = start_count[pid] }
  if (phase[pid] == "after") phase[pid] = "ending"
}

# Presses.
reply && main && call == "get_message" && $0 ~ /msg=00000111,/ {
  n = ++presses[name]
  phase[pid] = "file"; file[name, n] = 0; after[name, n] = 0; other[name, n] = 0
  next
}
reply && main && call == "get_message" && $0 ~ /= PENDING/ && phase[pid] == "ending" { phase[pid] = ""; next }
!reply && (phase[pid] == "file" || phase[pid] == "after" || phase[pid] == "ending") {
  n = presses[name]
  if (!main) ++other[name, n]
  else if (phase[pid] == "file") ++file[name, n]
  else ++after[name, n]
  ++kinds[name, n, call]
  if (main && call == "set_fd_name_info" && $0 ~ /\\Buy\.txt"/) phase[pid] = "after"
}

END {
  for (i in want) {
    name = want[i]
    key = tolower(name); sub(/\.exe$/, "", key)
    if ((name, starts[name]) in startup) print key "_startup_requests=" startup[name, starts[name]]
    n = presses[name]
    if (n == 0) continue
    for (j = 1; j <= n; ++j) { f[j] = file[name, j]; a[j] = after[name, j]; o[j] = other[name, j] }
    print key "_press_file_requests=" median(f, n)
    print key "_press_after_requests=" median(a, n)
    print key "_press_other_requests=" median(o, n)
    line = ""
    while (1) {
      best = ""; most = 0
      for (k in kinds) {
        split(k, key_parts, SUBSEP)
        if (key_parts[1] == name && key_parts[2] == n && kinds[k] > most) { most = kinds[k]; best = key_parts[3] }
      }
      if (best == "") break
      line = line (line == "" ? "" : ", ") best " " most
      delete kinds[name, n, best]
    }
    print key "_press_kinds=" line
  }
}

#!/usr/bin/env bash
# The terminal simulators the end-to-end tests talk to, started and stopped around a test run
# (a CTest fixture). Two simulators on 127.0.0.1, each on a free port: one speaking HTTP, one
# HTTPS. For each SCHEME (http, https) the folder DIR holds:
#   SCHEME.port      the port, once it listens           SCHEME.pid   the process id
#   SCHEME.requests  its request log, one JSON line per /nexo request
#   SCHEME.control   a control object the tests drop in (applied before the next /nexo request)
#   SCHEME.out       what the simulator printed
# The tests read these files by path, so a test program running under wine needs no process of
# its own on the Linux side.
#
#   terminal-sim-fixture.sh start DIR SIMULATOR
#   terminal-sim-fixture.sh stop DIR
set -u
action=${1:?start or stop}
dir=${2:?folder}
# A simulator outlives a run that was killed before its cleanup by at most this long.
max_seconds=${VXPA_SIM_MAX_SECONDS:-3600}

# True when PID is a running terminal simulator (a recycled process id is left alone).
is_simulator() {
  local pid=$1
  [[ -n "$pid" && -r /proc/$pid/cmdline ]] && tr '\0' ' ' </proc/"$pid"/cmdline | grep -q terminal-sim
}

stop_one() {
  local pidfile=$1 pid
  [[ -f "$pidfile" ]] || return 0
  pid=$(cat "$pidfile")
  if is_simulator "$pid"; then
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 50); do
      is_simulator "$pid" || break
      sleep 0.1
    done
    if is_simulator "$pid"; then
      echo "terminal simulator $pid did not stop on SIGTERM; killing it" >&2
      kill -KILL "$pid" 2>/dev/null
    fi
  fi
  rm -f "$pidfile" "${pidfile%.pid}.port"
}

stop_all() {
  stop_one "$dir/http.pid"
  stop_one "$dir/https.pid"
}

start_one() {
  local scheme=$1 simulator=$2 extra=()
  [[ "$scheme" == https ]] && extra=(--https --cert-file "$dir/https.pem")
  rm -f "$dir/$scheme.port" "$dir/$scheme.requests" "$dir/$scheme.control"
  # setsid: the simulator leaves CTest's process group, so it never holds the run's output open.
  setsid "$simulator" --port 0 --port-file "$dir/$scheme.port" --request-log "$dir/$scheme.requests" \
    --control-file "$dir/$scheme.control" --max-seconds "$max_seconds" "${extra[@]}" \
    </dev/null >"$dir/$scheme.out" 2>&1 &
  echo $! >"$dir/$scheme.pid"
}

wait_listening() {
  local scheme=$1
  for _ in $(seq 100); do
    [[ -s "$dir/$scheme.port" ]] && return 0
    is_simulator "$(cat "$dir/$scheme.pid")" || break
    sleep 0.1
  done
  echo "terminal simulator ($scheme) did not start:" >&2
  cat "$dir/$scheme.out" >&2
  return 1
}

case "$action" in
  start)
    simulator=${3:?simulator program}
    if [[ ! -x "$simulator" ]]; then
      echo "terminal simulator not found at $simulator (the Linux build makes it: make build)" >&2
      exit 1
    fi
    mkdir -p "$dir"
    stop_all   # a run that was killed may have left them running
    start_one http "$simulator"
    start_one https "$simulator"
    if ! wait_listening http || ! wait_listening https; then
      stop_all
      exit 1
    fi
    echo "terminal simulators: http port $(cat "$dir/http.port"), https port $(cat "$dir/https.port")"
    ;;
  stop)
    stop_all
    ;;
  *)
    echo "usage: $0 start DIR SIMULATOR | stop DIR" >&2
    exit 2
    ;;
esac

#!/usr/bin/env bash
# The demonstration (make demo): a day at a shop's till (scripts/shop-day.session): three sales, one
# of them declined, a verification and a reprint of the last, a refund, the totals and the day
# close with their printed reports. It installs what is missing, builds the
# Linux module, the host program and the terminal simulator, starts the simulator on a free port
# of 127.0.0.1, and runs the till's commands through the host program vxpa, which calls the
# module's exports exactly as a point-of-sale program does. Each outcome is printed in plain
# words with its receipts. The simulator is stopped at the end, on failure and on Ctrl-C.
#
#   scripts/demo.sh            the whole demonstration
#   DEMO_SKIP_BUILD=1 ...      use the build as it is (build/ must hold vxpa and terminal-sim)
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build
jobs=${JOBS:-$(nproc)}

step() { printf '\n\033[1m%s\033[0m\n' "$*"; }

# ---- the till's day: the session file scripts/shop-day.session (one command a line) ----
session=$repo/scripts/shop-day.session

# ---- setup and build ----
if [[ -z "${DEMO_SKIP_BUILD:-}" ]]; then
  step "Setting up and building (Linux)"
  bash "$repo/scripts/setup.sh"
  cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j "$jobs" --target VXPA_ADYEN_10 vxpa terminal-sim
fi
for program in "$build/vxpa" "$build/terminal-sim" "$build/VXPA_ADYEN_10.so"; do
  [[ -e "$program" ]] || { echo "demo: $program is missing (run without DEMO_SKIP_BUILD)" >&2; exit 1; }
done

# ---- the terminal simulator, stopped by its process id whatever happens ----
work=$(mktemp -d "${TMPDIR:-/tmp}/vxpa-demo.XXXXXX")
sim_pid=
stop_simulator() {
  if [[ -n "$sim_pid" ]] && kill -0 "$sim_pid" 2>/dev/null; then
    kill -TERM "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  sim_pid=
  rm -rf "$work"
}
trap stop_simulator EXIT
trap 'echo; echo "demo: interrupted"; exit 130' INT TERM

step "Starting the terminal simulator"
"$build/terminal-sim" --port 0 --port-file "$work/port" --max-seconds 600 >"$work/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do
  [[ -s "$work/port" ]] && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
if [[ ! -s "$work/port" ]]; then
  echo "demo: the terminal simulator did not start:" >&2
  cat "$work/sim.out" >&2
  exit 1
fi
port=$(tr -d '[:space:]' <"$work/port")
echo "The card terminal (simulated) answers on http://127.0.0.1:$port"

# The device profile: what the till knows about its terminal (the simulator's defaults).
cat >"$work/shop.profile" <<EOF
# The shop's card terminal
URL           = http://127.0.0.1:$port
POIID         = SIM-00000001
KeyIdentifier = SimKey
KeyVersion    = 1
Secret        = terminal-sim secret
LogId         = SHOP1
StoreCode     = SHOP1
TillCode      = TILL1
Currency      = EUR
ReceiptColCount = 32
EOF

step "A day at the till"
status=0
"$build/vxpa" session "$session" --profile "$work/shop.profile" || status=$?

log=$(ls -t "$build"/LogFiles/Payment/*SHOP1*.log 2>/dev/null | head -n 1 || true)
echo
if [[ -n "$log" ]]; then
  echo "Everything the module said to the terminal is in its log: ${log#"$repo"/}"
fi
if [[ $status -ne 0 ]]; then
  echo "demo: a step did not go as planned (status $status)" >&2
  exit "$status"
fi
echo "The demonstration ran through."

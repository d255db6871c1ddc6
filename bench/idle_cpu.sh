#!/usr/bin/env bash
# Idle CPU of the configurator with a serial port open and no traffic: opens a pseudo-terminal,
# starts the program on it (offscreen), waits until the port is open, then reads the process's
# CPU time from /proc over a measuring window. Linux only.
#   bench/idle_cpu.sh [build-dir] [seconds]
set -euo pipefail
build="${1:-build}"
seconds="${2:-10}"
program="$build/src/kv7m-configurator"
work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

python3 -c 'import os, time
master, slave = os.openpty()
print(os.ttyname(slave), flush=True)
time.sleep(3600)' >"$work/pty" &
for _ in $(seq 50); do [ -s "$work/pty" ] && break; sleep 0.1; done
device="$(cat "$work/pty")"

cat >"$work/settings.ini" <<INI
[General]
CurrCOMM=$device
BaudRate=19200
AdrBO=1
SettingsPath=$work/settings
DataPath=$work/data
WaitAnsewer=60
MainTableClearTimeOut=60
INI

KV7M_SETTINGS="$work/settings.ini" QT_QPA_PLATFORM=offscreen "$program" &
pid=$!
# The port opens one second after start.
for _ in $(seq 100); do
  grep -q "CurrCOMM=$device" "$work/settings.ini" && [ -e "/proc/$pid/fd" ] && ls -l "/proc/$pid/fd" 2>/dev/null | grep -q "$device" && break
  sleep 0.1
done
ls -l "/proc/$pid/fd" | grep -q "$device" || { echo "the program did not open $device"; exit 1; }

ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz="$(getconf CLK_TCK)"
before="$(ticks)"
sleep "$seconds"
after="$(ticks)"
kill "$pid"
awk -v b="$before" -v a="$after" -v hz="$hz" -v s="$seconds" -v d="$device" \
  'BEGIN { printf "port %s open, idle for %d s: %.2f s CPU = %.2f %% of one core\n", d, s, (a - b) / hz, 100 * (a - b) / hz / s }'

#!/usr/bin/env bash
# Runs LINES (default 100000) generated lines through one 'vesko pipe' on one
# mind, saving every LINES/50 lines, and samples the program's resident
# memory every LINES/20 lines. Fails when memory after the warm-up (the first
# quarter) grows by more than 10%, when answers stop coming for 60 s, when an
# answer is missing, when the program does not end cleanly (leaks included,
# under AddressSanitizer), or when the mind does not load at the end.
# VESKO_BINARY names the program to test; without it a Release build is made
# in build-release.
#
# The lines cycle through a fixed set of questions, short remarks, arithmetic
# and teaching commands. Statements of four words or more are left out on
# purpose: the bot remembers every one of them, so they would grow the mind
# (and its memory) by design rather than by a leak.
set -euo pipefail
cd "$(dirname "$0")/.."
lines="${1:-100000}"
case "$lines" in '' | *[!0-9]*) echo "usage: scripts/soak.sh [LINES]" >&2; exit 2 ;; esac
((lines >= 100)) || { echo "soak: LINES must be at least 100" >&2; exit 2; }

vesko="${VESKO_BINARY:-}"
if [ -z "$vesko" ]; then
  scripts/setup-deps.sh
  cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESKO_BUILD_TESTS=OFF >/dev/null
  cmake --build build-release --target vesko >/dev/null
  vesko=build-release/vesko
fi

scratch="$(mktemp -d "${TMPDIR:-/tmp}/vesko-soak.XXXXXX")"
pid=""
cleanup() { [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$scratch"; }
trap cleanup EXIT
home="$scratch/home"
mkdir -p "$home"

awk -v n="$lines" 'BEGIN {
  split("hello|how are you?|what is your name?|what is my name?|how old are you?|where do you live?|" \
        "what time is it?|what day is it today?|do you like music?|what is your favourite colour?|" \
        "what is the capital of france?|yes|no|ok|i am happy|tell me about paris|who made you?|" \
        "are you a robot?|what can you do?|good morning|thanks|what do you like?|do you like cats?|" \
        "where is the dog?|bye for now|why?|really?|cool|what is the capital of japan?|tell me about dogs", pool, "|")
  count = length(pool)
  for (i = 0; i < n; i++) {
    if (i % 7 == 3) printf "what is %d plus %d\n", i % 50, (i / 7) % 40
    else if (i % 11 == 5) printf "what is %d*(%d+1)?\n", i % 13, i % 17
    else print pool[i % count + 1]
  }
}' >"$scratch/in"

# Under AddressSanitizer freed memory sits in a quarantine that would look
# like growth; keep it small. Leaks still fail the run at exit.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=4:thread_local_quarantine_size_kb=64"
every=$((lines / 50))
interval=$((lines / 20))
warmup=$((lines / 4))
: >"$scratch/out"  # exists before the loop reads it, however late the program starts
HOME="$scratch" XDG_DATA_HOME= "$vesko" pipe --user Soak --save-every "$every" --seed 7 --home "$home" \
  <"$scratch/in" >"$scratch/out" 2>"$scratch/err" &
pid=$!

next=$interval
baseline=""
peak=0
last=0
still=$SECONDS
samples=()
while kill -0 "$pid" 2>/dev/null; do
  answered=$(wc -l <"$scratch/out")
  if ((answered != last)); then last=$answered; still=$SECONDS; fi
  if ((SECONDS - still > 60)); then
    echo "soak: answers stopped after $answered lines" >&2
    exit 1
  fi
  if ((answered >= next)); then
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
    if [ -n "$rss" ]; then
      samples+=("$answered:$rss")
      if ((answered >= warmup)); then
        if [ -z "$baseline" ]; then baseline=$rss; fi
        ((rss > peak)) && peak=$rss
      fi
    fi
    next=$((answered - answered % interval + interval))
  fi
  sleep 0.05
done
status=0
wait "$pid" || status=$?
pid=""
answered=$(wc -l <"$scratch/out")

echo "soak: $answered of $lines lines answered; resident memory (lines:kB): ${samples[*]}"
if ((status != 0)); then
  echo "soak: vesko ended with status $status" >&2
  head -40 "$scratch/err" >&2
  exit 1
fi
if ((answered != lines)); then
  echo "soak: $((lines - answered)) lines went unanswered" >&2
  exit 1
fi
if [ -z "$baseline" ]; then
  echo "soak: no memory sample after the warm-up; the run was too quick to measure" >&2
  exit 1
fi
echo "soak: after the warm-up ${baseline} kB, at most ${peak} kB ($(( (peak - baseline) * 100 / baseline ))% growth)"
if ((peak * 10 > baseline * 11)); then
  echo "soak: memory grew by more than 10% after the warm-up" >&2
  exit 1
fi
if ! HOME="$scratch" XDG_DATA_HOME= "$vesko" --home "$home" mind info "$home/vesko.mnd" >"$scratch/info" 2>&1; then
  echo "soak: the mind does not load after the run" >&2
  cat "$scratch/info" >&2
  exit 1
fi
grep -v '^$' "$scratch/info" | sed 's/^/soak: /'

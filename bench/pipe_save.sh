#!/usr/bin/env bash
# Times `vesko pipe --save-every 1` over LINES (default 1000) chat lines for
# two builds side by side, alternating runs so that both see the same load,
# and prints each run and the medians (user+system CPU and wall clock).
# Target: the new build at most 25% slower than the old one (each save now
# writes every bank under a new name and syncs the mind and its folder).
# Usage: bench/pipe_save.sh OLD_VESKO NEW_VESKO [LINES] [ROUNDS]
set -euo pipefail
old="$1" new="$2" lines="${3:-1000}" rounds="${4:-5}"
scratch="$(mktemp -d "${TMPDIR:-/tmp}/vesko-pipe-save.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
awk -v n="$lines" 'BEGIN {
  split("hello|how are you?|my dog is called rex|what is your name?|i like green apples|" \
        "where do you live?|what is 2 plus 3|tell me about dogs|my sister lives in paris|ok", pool, "|")
  for (i = 0; i < n; i++) print pool[i % 10 + 1] " " i
}' >"$scratch/in"

run() {  # binary label -> "cpu wall"
  local home="$scratch/home-$2"
  rm -rf "$home" && mkdir -p "$home"
  echo hi | HOME="$scratch" XDG_DATA_HOME= "$1" --home "$home" pipe --user Ann >/dev/null  # lay out first
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -f "%U %S" -o "$scratch/time" \
    env HOME="$scratch" XDG_DATA_HOME= "$1" --home "$home" pipe --user Ann --save-every 1 --seed 1 \
    <"$scratch/in" >/dev/null
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" '{ printf "%.3f %.3f\n", $1 + $2, e - s }' "$scratch/time"
}

: >"$scratch/old" && : >"$scratch/new"
for ((r = 1; r <= rounds; r++)); do
  o=$(run "$old" old) && echo "$o" >>"$scratch/old"
  n=$(run "$new" new) && echo "$n" >>"$scratch/new"
  echo "round $r: old cpu/wall $o s, new cpu/wall $n s"
done
median() { sort -n -k"$2" "$1" | awk -v k="$2" '{ v[NR] = $k } END { print v[int((NR + 1) / 2)] }'; }
for k in 1 2; do
  what=$([ $k = 1 ] && echo "cpu " || echo "wall")
  mo=$(median "$scratch/old" $k) mn=$(median "$scratch/new" $k)
  awk -v w="$what" -v o="$mo" -v n="$mn" 'BEGIN { printf "median %s: old %.3f s, new %.3f s (%+.1f%%)\n", w, o, n, (n / o - 1) * 100 }'
done

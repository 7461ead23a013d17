#!/usr/bin/env bash
# How long `vesko mind diff` takes on two fortunes-sized minds: A is the
# default mind taught the fortunes text (bench/fortunes.sh), B the same mind
# after 1,000 more lines of chat. Prints wall time and peak memory of the diff
# beside the target (under 1 s), and both minds' sizes.
# Usage: bench/mind_diff.sh VESKO [FORTUNES_TXT]   (a Release build's vesko)
set -euo pipefail

vesko="$(realpath "${1:?usage: bench/mind_diff.sh VESKO [FORTUNES_TXT]}")"
text="${2:-fortunes.txt}"
[ -f "$text" ] || "$(dirname "$0")/fortunes.sh" "$text"
text="$(realpath "$text")"

home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
"$vesko" --home "$home" teach "$text" > /dev/null
cp "$home/vesko.mnd" "$home/a.mnd"
for i in $(seq 1000); do
  case $((i % 4)) in
    0) echo "what is $i plus $((i * 3))?" ;;
    1) echo "my neighbour number $i grows purple tomatoes in the garden" ;;
    2) echo "do you remember the tomatoes?" ;;
    3) echo "I like long walks by the sea" ;;
  esac
done | "$vesko" --home "$home" pipe --user Ann > /dev/null

start=$(date +%s.%N)
status=0
/usr/bin/time -f '%M' -o "$home/peak" "$vesko" --home "$home" mind diff "$home/a.mnd" "$home/vesko.mnd" > "$home/diff.txt" || status=$?
seconds=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }')
[ "$status" -eq 1 ] || { echo "mind_diff.sh: mind diff gave exit status $status, not 1" >&2; exit 1; }
printf 'minds: %s and %s bytes\n' "$(stat -c %s "$home/a.mnd")" "$(stat -c %s "$home/vesko.mnd")"
verdict=$(awk -v s="$seconds" 'BEGIN { print (s < 1 ? "ok" : "MISSED") }')
printf '%-34s %10.3f s   (target under 1 s) %s\n' "mind diff, wall time" "$seconds" "$verdict"
printf '%-34s %10.1f MB\n' "mind diff, peak resident memory" "$(awk -v k="$(tail -n 1 "$home/peak")" 'BEGIN { print k / 1024 }')"
head -n 3 "$home/diff.txt"

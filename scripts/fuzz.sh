#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz and runs each for SECONDS (default
# 30), seeded with a scratch copy of its committed corpus. Fails on any crash,
# leak, sanitizer report, broken invariant or slow input; the inputs that did
# it are kept in build-fuzz/findings/ to be added to tests/fuzz/corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
case "$seconds" in '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2 ;; esac

scripts/setup-deps.sh clang libclang-rt-14-dev
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVESKO_FUZZ=ON -DVESKO_BUILD_TESTS=OFF >/dev/null
targets=()
for source in tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
cmake --build build-fuzz --target "${targets[@]}"

# The targets write their files under TMPDIR: a memory-backed folder when
# there is one (file writes there are many times faster), removed at the end.
base="${TMPDIR:-/tmp}"
[ -d /dev/shm ] && [ -w /dev/shm ] && base=/dev/shm
scratch="$(mktemp -d "$base/vesko-fuzz.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
findings=build-fuzz/findings
rm -rf "$findings"

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export FUZZ_INVARIANTS=1  # fuzz_respond also checks each answer's form
# All targets run at once (each for SECONDS), so the whole step takes about
# SECONDS however many targets there are; the results are read afterwards.
pids=()
for target in "${targets[@]}"; do
  corpus="$scratch/corpus/$target"
  mkdir -p "$corpus" "$scratch/tmp/$target" "$scratch/artifacts/$target"
  cp tests/fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
  (
    status=0
    TMPDIR="$scratch/tmp/$target" build-fuzz/"$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
      -timeout=60 -print_final_stats=1 -artifact_prefix="$scratch/artifacts/$target/" "$corpus" \
      >"$scratch/$target.log" 2>&1 || status=$?
    echo "$status" >"$scratch/$target.status"
  ) &
  pids+=($!)
done
wait "${pids[@]}"

failed=()
printf '%-20s %10s %8s  %s\n' target inputs exec/s result
for target in "${targets[@]}"; do
  log="$scratch/$target.log"
  status="$(cat "$scratch/$target.status" 2>/dev/null || echo 1)"
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  speed="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)"
  result=ok
  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$scratch/artifacts/$target")" ] ||
     grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|INVARIANT BROKEN' "$log"; then
    result=FAILED
    failed+=("$target")
    mkdir -p "$findings/$target"
    cp "$log" "$findings/$target/"
    cp "$scratch/artifacts/$target"/* "$findings/$target/" 2>/dev/null || true
  fi
  printf '%-20s %10s %8s  %s\n' "$target" "${runs:-?}" "${speed:-?}" "$result"
done

if ((${#failed[@]})); then
  for target in "${failed[@]}"; do
    echo "--- $target" >&2
    grep -E -m 20 -A 12 'ERROR:|runtime error:|INVARIANT BROKEN' "$findings/$target/$target.log" >&2 || tail -30 "$findings/$target/$target.log" >&2
  done
  echo "fuzzing failed: ${failed[*]}; inputs and logs in $findings/" >&2
  exit 1
fi

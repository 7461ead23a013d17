#!/usr/bin/env bash
# Plants hostile and unlucky setups around the real program and checks that
# each gets a clear refusal or a correct answer, that nothing is written
# outside the working folder and the mind's own path, and that nothing is
# lost: links planted where banks, the mind's temporary file and config.dat
# go; a mind given through a link; devices, a FIFO and a folder as the mind;
# two working folders on one mind; a 10 MB line and SIGTERM during long lines;
# headless mode killed while answering, in an empty folder, and in a folder
# whose config.dat names a file outside it; minds cut short; odd new-mind
# names; an older mind's info; a member name no file system can hold.
# VESKO_BINARY names the program; without it a Release build is made.
# VESKO_LONG_LINE_BYTES (default 10000000) and VESKO_LONG_LINE_SECONDS
# (default 60) size the long line and its deadline; a sanitizer build, many
# times slower, gets a shorter line from ctest.
set -uo pipefail
cd "$(dirname "$0")/.."

vesko="${VESKO_BINARY:-}"
if [ -z "$vesko" ]; then
  scripts/setup-deps.sh
  cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESKO_BUILD_TESTS=OFF >/dev/null
  cmake --build build-release --target vesko >/dev/null
  vesko=build-release/vesko
fi
vesko="$(cd "$(dirname "$vesko")" && pwd)/$(basename "$vesko")"

scratch="$(mktemp -d "${TMPDIR:-/tmp}/vesko-hostile.XXXXXX")"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  rm -rf "$scratch"
}
trap cleanup EXIT
export HOME="$scratch" XDG_DATA_HOME=
# ASan's leak check at exit takes long on a killed child's siblings; the
# sanitizers still report every error.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

failures=0
pass() { echo "ok   - $1"; }
fail() { echo "FAIL - $1: $2"; failures=$((failures + 1)); }
check() { if eval "$2"; then pass "$1"; else fail "$1" "${3:-$2}"; fi; }

# A fresh working folder laid out by the program, and a folder "outside" it.
fresh() {
  rm -rf "$scratch/home" "$scratch/out"
  mkdir -p "$scratch/home" "$scratch/out"
  echo hello | "$vesko" --home "$scratch/home" pipe --user Ann >/dev/null 2>&1
}
home="$scratch/home"
out="$scratch/out"
mind="$home/vesko.mnd"

# 1, 2: links planted at a bank's name, at the mind's old temporary name and
# at config.dat are replaced, never written through.
fresh
for name in morvash.mbk profiles.mbk nouns.mbk groups.mbk vesko.mnd.tmp; do
  echo precious >"$out/$name"
  ln -s "$out/$name" "$home/$name"
done
echo precious >"$out/config.dat"
rm -f "$home/config.dat"
printf '0\nvesko.mnd\n1\n3\n' >"$out/config.dat.real"
cp "$out/config.dat.real" "$out/config.dat"
ln -s "$out/config.dat" "$home/config.dat"
printf 'my hamster is called sam\nbye\n' | "$vesko" --home "$home" chat >/dev/null 2>"$scratch/err"
intact=1
for name in morvash.mbk profiles.mbk nouns.mbk groups.mbk vesko.mnd.tmp; do
  [ "$(cat "$out/$name")" = precious ] || intact=0
done
check "planted links at banks and the temporary mind are not written through" '((intact))'
check "a planted link at config.dat is replaced, not written through" \
  'cmp -s "$out/config.dat" "$out/config.dat.real" && [ ! -L "$home/config.dat" ]'
check "the chat through the planted links was saved" 'grep -qi hamster "$mind"' "$(cat "$scratch/err")"

# 3: a mind given through a link is the file the link leads to.
fresh
mv "$mind" "$out/real.mnd"
ln -s "$out/real.mnd" "$home/link.mnd"
echo "my parrot is called polly" | "$vesko" --home "$home" --mind "$home/link.mnd" pipe --user Ann >/dev/null 2>&1
check "a mind given through a link stays a link and its target learns" \
  '[ -L "$home/link.mnd" ] && grep -qi polly "$out/real.mnd"'

# 4: devices, a FIFO and a folder are no minds; nothing hangs or aborts.
fresh
mkfifo "$out/fifo.mnd"
mkdir "$out/folder.mnd"
for given in /dev/null /dev/zero "$out/fifo.mnd" "$out/folder.mnd"; do
  timeout 20 "$vesko" --home "$home" --mind "$given" pipe --user Ann </dev/null >/dev/null 2>"$scratch/err"
  status=$?
  check "--mind $given is refused" '((status == 1)) && grep -q "only a file of its own can be a mind" "$scratch/err"' \
    "status $status: $(cat "$scratch/err")"
done
timeout 20 "$vesko" mind unpack /dev/zero "$out/unpacked" >/dev/null 2>"$scratch/err"
status=$?
check "mind unpack /dev/zero is refused" '((status == 1))' "status $status: $(cat "$scratch/err")"
check "/dev/null is still a device" '[ -c /dev/null ]'

# 5: two working folders on one mind: a second chat is refused, a packer too;
# a headless run from another folder waits its turn and is remembered.
fresh
mkdir -p "$scratch/second" "$scratch/third"
mkfifo "$scratch/feed"
"$vesko" --home "$home" pipe --user Ann --save-every 1 <"$scratch/feed" >"$scratch/first.out" 2>&1 &
holder=$!
pids+=("$holder")
exec 7>"$scratch/feed"
echo "my lizard is called rex" >&7
for _ in $(seq 100); do [ -s "$scratch/first.out" ] && break; sleep 0.1; done
echo hi | "$vesko" --home "$scratch/second" --mind "$mind" pipe --user Bob >/dev/null 2>"$scratch/err"
status=$?
check "a second folder on a mind in use is refused" \
  '((status == 1)) && grep -q "another Vesko is using the mind" "$scratch/err"' "status $status: $(cat "$scratch/err")"
"$vesko" mind pack "$home" "$mind" >/dev/null 2>"$scratch/err"
status=$?
check "packing over a mind in use is refused" '((status == 1))' "status $status: $(cat "$scratch/err")"
printf 'Bob\nmy turtle is called speedy\n' >"$scratch/third/chat.msg"
(exec 7>&-; cd "$scratch/third" && "$vesko" --home "$scratch/third" --mind "$mind" >/dev/null 2>"$scratch/third.err") &
waiting=$!
sleep 1
exec 7>&-
wait "$holder"
wait "$waiting"
status=$?
check "a headless run on a mind in use waits its turn" \
  '((status == 0)) && grep -qi rex "$mind" && grep -qi speedy "$mind"' "status $status: $(cat "$scratch/third.err")"

# 6: a 10 MB line is answered in time, and SIGTERM between long lines stops
# the chat at the next line with the mind saved.
long_bytes="${VESKO_LONG_LINE_BYTES:-10000000}"
deadline="${VESKO_LONG_LINE_SECONDS:-60}"
fresh
head -c "$long_bytes" /dev/zero | tr '\0' 'w' | sed 's/wwww/word /g' >"$scratch/long"
echo >>"$scratch/long"
start=$SECONDS
timeout -s KILL "$deadline" "$vesko" --home "$home" pipe --user Ann <"$scratch/long" >"$scratch/long.out" 2>"$scratch/err"
status=$?
check "a line of $long_bytes bytes is answered within $deadline s" \
  '((status == 0)) && [ "$(wc -l <"$scratch/long.out")" -eq 1 ]' "status $status after $((SECONDS - start)) s"
check "the mind stays small after a 10 MB line" '[ "$(stat -c %s "$mind")" -lt 5000000 ]' "$(stat -c %s "$mind") bytes"
for _ in 1 2 3 4 5; do cat "$scratch/long"; done >"$scratch/longer"
"$vesko" --home "$home" pipe --user Ann <"$scratch/longer" >/dev/null 2>&1 &
long=$!
pids+=("$long")
sleep 2
kill -TERM "$long"
start=$SECONDS
wait "$long"
status=$?
check "SIGTERM during long lines ends the chat at the next line, saved" \
  '((status == 0 && SECONDS - start < 2 * deadline)) && [ ! -e "$home/morvash.mbk" ]' \
  "status $status after $((SECONDS - start)) s"

# 7: headless mode killed while answering leaves the message in chat.msg.
fresh
kept=1
for delay in 0.01 0.05 0.1 0.2 0.3 0.5; do
  printf 'Ann\nmy goldfish is called bubbles\n' >"$home/chat.msg"
  (cd "$home" && exec "$vesko" >/dev/null 2>&1) &
  run=$!
  sleep "$delay"
  kill -9 "$run" 2>/dev/null
  wait "$run" 2>/dev/null
  lines=$(grep -c . "$home/chat.msg" 2>/dev/null || echo 0)
  ((lines == 1 || lines == 2)) || kept=0
done
check "a killed headless run leaves the message or the answer in chat.msg" '((kept))'

# 8, 15: an empty folder answers headless; a prepared folder whose config.dat
# names a file outside it gets nothing written there; a start that will
# refuse lays nothing out.
rm -rf "$scratch/empty" && mkdir "$scratch/empty"
printf 'Ann\nhello there\n' >"$scratch/empty/chat.msg"
(cd "$scratch/empty" && "$vesko" >/dev/null 2>"$scratch/err")
status=$?
check "headless mode answers in an empty folder" \
  '((status == 0)) && [ "$(grep -c . "$scratch/empty/chat.msg")" -eq 1 ] && [ -f "$scratch/empty/vesko.mnd" ]' \
  "status $status: $(cat "$scratch/err")"
rm -rf "$scratch/prepared" && mkdir "$scratch/prepared"
printf '0\n%s\n1\n3\n' "$out/startup-file" >"$scratch/prepared/config.dat"
printf 'echo owned\n' >"$scratch/prepared/morvash.mbk"
printf 'Ann\nhello\n' >"$scratch/prepared/chat.msg"
(cd "$scratch/prepared" && "$vesko" >/dev/null 2>"$scratch/err")
status=$?
check "headless mode never makes the mind a prepared config.dat names" \
  '((status == 1)) && [ ! -e "$out/startup-file" ] && grep -q "^hello$" "$scratch/prepared/chat.msg"' \
  "status $status: $(cat "$scratch/err")"
rm -rf "$scratch/unrelated" && mkdir "$scratch/unrelated"
printf 'some other program\nits settings\n' >"$scratch/unrelated/config.dat"
(cd "$scratch/unrelated" && echo bye | "$vesko" chat >/dev/null 2>"$scratch/err")
status=$?
check "a chat that will refuse lays nothing out first" \
  '((status == 1)) && [ "$(ls -A "$scratch/unrelated")" = "$(printf "config.dat\nvesko.lock")" ]' \
  "status $status: $(ls -A "$scratch/unrelated" | tr '\n' ' ')"

# 9: a mind cut short is refused and left as it is.
fresh
size=$(stat -c %s "$mind")
refused=1
for tenth in 1 3 5 7 9; do
  head -c $((size * tenth / 10)) "$mind" >"$out/cut.mnd"
  [ "$(tail -c 1 "$out/cut.mnd" | od -An -c | tr -d ' ')" = '\n' ] && continue
  cp "$out/cut.mnd" "$out/cut.before"
  echo hi | "$vesko" --home "$home" --mind "$out/cut.mnd" pipe --user Ann >/dev/null 2>"$scratch/err"
  status=$?
  ((status == 1)) && grep -q "cut short" "$scratch/err" && cmp -s "$out/cut.mnd" "$out/cut.before" || refused=0
done
: >"$out/empty.mnd"
echo hi | "$vesko" --home "$home" --mind "$out/empty.mnd" pipe --user Ann >/dev/null 2>&1 && refused=0
check "minds cut short and an empty mind are refused and left alone" '((refused))' "$(cat "$scratch/err")"

# 11: new-mind needs a file name.
mkdir -p "$scratch/names" && cd "$scratch/names"
"$vesko" --home "$home" new-mind "" >/dev/null 2>&1
empty_status=$?
"$vesko" --home "$home" new-mind "$scratch/names/" >/dev/null 2>&1
folder_status=$?
check "new-mind \"\" and new-mind DIR/ are refused" \
  '((empty_status == 1 && folder_status == 1)) && [ -z "$(ls -A "$scratch/names")" ]'
cd - >/dev/null

# 11: a 300-character member name is named for what it is.
printf '[{[%s.mbk]}]\nx\n' "$(head -c 296 /dev/zero | tr '\0' n)" >"$out/longname.mnd"
"$vesko" mind unpack "$out/longname.mnd" "$out/unpack-long" >/dev/null 2>"$scratch/err"
check "an overlong member name is refused as such" 'grep -q "longer than any file name" "$scratch/err"' \
  "$(cat "$scratch/err")"

# 14: an older mind's info counts what the defaults give it.
printf '[{[version.mbk]}]\n4.1\n100\n[{[botinfo.mbk]}]\nOld\nfriend\nx\nmale\n3\nhere\n' >"$out/old.mnd"
"$vesko" mind info "$out/old.mnd" >"$scratch/info" 2>&1
check "mind info of a first-generation mind counts the default names" \
  '! grep -q "^names: *0$" "$scratch/info" && grep -q "^names:" "$scratch/info"' "$(cat "$scratch/info")"

echo "hostile: $failures failed"
((failures == 0))

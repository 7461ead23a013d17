#!/usr/bin/env bash
# Builds the teaching benchmark's input: the English texts of Debian's "fortunes"
# package (its terms: /usr/share/doc/fortunes/copyright) joined into one
# plain-text file, without the "%" lines that separate the fortunes and
# without the index (.dat) and UTF-8 (.u8) companions.
# Usage: bench/fortunes.sh [OUTPUT]   (default: fortunes.txt in the current folder)
set -euo pipefail

out="${1:-fortunes.txt}"
dir=/usr/share/games/fortunes

if ! dpkg-query -W -f='${Status}' fortunes 2>/dev/null | grep -q "install ok installed"; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "fortunes.sh: the fortunes package is missing; run as root or: sudo apt-get install fortunes" >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends fortunes >/dev/null
fi

files=()
while IFS= read -r -d '' f; do
  files+=("$f")
done < <(find "$dir" -maxdepth 1 -type f ! -name '*.dat' ! -name '*.u8' -print0 | sort -z)
if [ "${#files[@]}" -eq 0 ]; then
  echo "fortunes.sh: no fortune files under $dir" >&2
  exit 1
fi

# A separator line holds "%" alone (a carriage return may follow it).
cat "${files[@]}" | grep -v -x -E '%\r?' >"$out"
echo "fortunes.sh: $(wc -l <"$out") lines, $(wc -c <"$out") bytes from ${#files[@]} files -> $out"

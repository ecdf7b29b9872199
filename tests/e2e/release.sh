#!/usr/bin/env bash
# tools/release writes the download: both programs for their machines, the examples, the
# German read-me as Windows opens it, and a zip holding the same.
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
"$root/tools/release" >/dev/null
rel=$root/build/release
machine() { # the COFF machine of a PE file: 8664 x86-64, 014c i386
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' '
}
[[ $(machine "$rel/KT4180/64-Bit/KT4180.exe") == 8664 ]] || fail "64-Bit/KT4180.exe is no x86-64 program"
[[ $(machine "$rel/KT4180/32-Bit/KT4180.exe") == 014c ]] || fail "32-Bit/KT4180.exe is no i386 program"
for f in "$root"/examples/*.plt; do
  cmp -s "$f" "$rel/KT4180/Beispiele/$(basename "$f")" || fail "example $(basename "$f") missing"
done
readme=$rel/KT4180/LIESMICH.txt
for text in '[KTXPLT]' 'KT4180.cfg' 'HKEY_CLASSES_ROOT\KT4180\Ini' $'f\xfcr'; do
  grep -qF "$text" "$readme" || fail "LIESMICH.txt lacks $(printf %q "$text")"
done
[[ $(tr -cd '\n' <"$readme" | wc -c) == $(grep -c $'\r$' "$readme") ]] || fail "LIESMICH.txt has a line without CR LF"
listed=$(cd "$rel" && python3 -m zipfile -l KT4180.zip | awk '$1 ~ /^KT4180\/.*[^\/]$/ {print $1}' | sort)
files=$(cd "$rel" && find KT4180 -type f | sort)
[[ $listed == "$files" ]] || fail "the zip holds $listed instead of $files"
echo ok

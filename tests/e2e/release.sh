#!/usr/bin/env bash
# tools/release writes the download: both programs for their machines, the examples, the
# German read-me as Windows opens it, the manual whole and readable from the folder, and a zip
# holding the same.
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
"$root/tools/release" >/dev/null
rel=$root/build/release
# Both programs beside each other, built for their machine and stripped.
for exe in {64-Bit,32-Bit}/{KT4180,KT4180-Demo}.exe; do
  head=$(x86_64-w64-mingw32-objdump -fh "$rel/KT4180/$exe")
  [[ $head == *"file format $([[ $exe == 64* ]] && echo pei-x86-64 || echo pei-i386)"* ]] || fail "$exe is built for another machine"
  [[ $head != *' .debug'* ]] || fail "$exe has debug sections"
done
for f in "$root"/examples/*.plt; do
  cmp -s "$f" "$rel/KT4180/Beispiele/$(basename "$f")" || fail "example $(basename "$f") missing"
done
diff -r "$root/docs/handbuch" "$rel/KT4180/Handbuch" >/dev/null || fail "Handbuch/ differs from docs/handbuch"
# tools/release refuses a manual with broken pages; shown one, its check names each fault.
broken=$(mktemp -d); trap 'rm -rf "$broken"' EXIT
cp -r "$rel/KT4180/Handbuch/." "$broken"
sed -i 's/<\/ul>//; s/src="bilder\//src="fehlt\//' "$broken/index.html"
printf '\xe4' >>"$broken/sprache.html"
faults=$("$root/tools/check-handbuch" "$broken" 2>&1) && fail "a broken manual passed"
for want in 'index.html: <ul> not closed' 'index.html: fehlt/hauptfenster.png missing' 'sprache.html: not plain ASCII'; do
  [[ $faults == *"$want"* ]] || fail "the check of a broken manual missed '$want': $faults"
done
readme=$rel/KT4180/LIESMICH.txt
for text in '[KTXPLT]' 'KT4180.cfg' 'HKEY_CLASSES_ROOT\KT4180\Ini' $'f\xfcr' 'Windows 7 SP1' 'C:\Programme' \
  $'"Trotzdem ausf\xfchren"' '"Zulassen"' 'Handbuch\index.html' 'KT4180-Demo.exe' 'HKEY_CLASSES_ROOT\KT4180-Demo\Ini' \
  'KT4180-Demo-Register.txt'; do
  grep -qF "$text" "$readme" || fail "LIESMICH.txt lacks $(printf %q "$text")"
done
[[ $(tr -cd '\n' <"$readme" | wc -c) == $(grep -c $'\r$' "$readme") ]] || fail "LIESMICH.txt has a line without CR LF"
listed=$(cd "$rel" && python3 -m zipfile -l KT4180.zip | awk '$1 ~ /^KT4180\/.*[^\/]$/ {print $1}' | sort)
files=$(cd "$rel" && find KT4180 -type f | sort)
[[ $listed == "$files" ]] || fail "the zip holds $listed instead of $files"
echo ok

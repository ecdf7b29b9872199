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
format() { x86_64-w64-mingw32-objdump -f "$rel/KT4180/$1/KT4180.exe" | sed -n 's/.*file format //p'; }
[[ $(format 64-Bit) == pei-x86-64 ]] || fail "64-Bit/KT4180.exe is no x86-64 program"
[[ $(format 32-Bit) == pei-i386 ]] || fail "32-Bit/KT4180.exe is no i386 program"
for bits in 64 32; do
  [[ $(x86_64-w64-mingw32-objdump -h "$rel/KT4180/$bits-Bit/KT4180.exe") != *' .debug'* ]] || fail "$bits-Bit/KT4180.exe has debug sections"
done
for f in "$root"/examples/*.plt; do
  cmp -s "$f" "$rel/KT4180/Beispiele/$(basename "$f")" || fail "example $(basename "$f") missing"
done
diff -r "$root/docs/handbuch" "$rel/KT4180/Handbuch" >/dev/null || fail "Handbuch/ differs from docs/handbuch"
# Every page plain ASCII (entities for the rest), its tags closed in order, and every local link
# and picture it names present (an #anchor as an id of its page).
python3 - "$rel/KT4180/Handbuch" <<'EOF' || fail "the manual has broken pages"
import html.parser, os, sys
root, bad = sys.argv[1], []
VOID = {"br", "img", "meta", "link", "hr", "input", "col", "wbr"}
class Page(html.parser.HTMLParser):
    def __init__(self, name):
        super().__init__(); self.name, self.open, self.ids, self.targets = name, [], set(), []
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if "id" in a: self.ids.add(a["id"])
        for key in ("href", "src"):
            if a.get(key) and not a[key].startswith(("http:", "https:", "mailto:")): self.targets.append(a[key])
        if tag not in VOID: self.open.append(tag)
    def handle_endtag(self, tag):
        if not self.open or self.open.pop() != tag: bad.append(f"{self.name}: </{tag}> does not close the open tag")
pages = {}
for name in sorted(f for f in os.listdir(root) if f.endswith(".html")):
    data = open(os.path.join(root, name), "rb").read()
    if any(b > 127 for b in data): bad.append(f"{name}: not plain ASCII")
    page = Page(name); page.feed(data.decode("ascii", "replace")); page.close()
    if page.open: bad.append(f"{name}: <{page.open[-1]}> not closed")
    pages[name] = page
for name, page in pages.items():
    for t in page.targets:
        path, _, anchor = t.partition("#")
        path = path or name
        if not os.path.isfile(os.path.join(root, path)): bad.append(f"{name}: {t} missing")
        elif anchor and path in pages and anchor not in pages[path].ids: bad.append(f"{name}: {t} names no id there")
if "index.html" not in pages: bad.append("no index.html")
print("\n".join(bad), file=sys.stderr)
sys.exit(1 if bad else 0)
EOF
readme=$rel/KT4180/LIESMICH.txt
for text in '[KTXPLT]' 'KT4180.cfg' 'HKEY_CLASSES_ROOT\KT4180\Ini' $'f\xfcr' 'Windows 7 SP1' 'C:\Programme' \
  $'"Trotzdem ausf\xfchren"' '"Zulassen"' 'Handbuch\index.html'; do
  grep -qF "$text" "$readme" || fail "LIESMICH.txt lacks $(printf %q "$text")"
done
[[ $(tr -cd '\n' <"$readme" | wc -c) == $(grep -c $'\r$' "$readme") ]] || fail "LIESMICH.txt has a line without CR LF"
listed=$(cd "$rel" && python3 -m zipfile -l KT4180.zip | awk '$1 ~ /^KT4180\/.*[^\/]$/ {print $1}' | sort)
files=$(cd "$rel" && find KT4180 -type f | sort)
[[ $listed == "$files" ]] || fail "the zip holds $listed instead of $files"
# The demo program beside each, built for the same machine and stripped, and told of.
for bits in 64 32; do
  demo=$(x86_64-w64-mingw32-objdump -fh "$rel/KT4180/$bits-Bit/KT4180-Demo.exe")
  [[ $demo == *"file format $(format $bits-Bit)"* ]] || fail "$bits-Bit/KT4180-Demo.exe is not built for $(format $bits-Bit)"
  [[ $demo != *' .debug'* ]] || fail "$bits-Bit/KT4180-Demo.exe has debug sections"
done
for text in 'KT4180-Demo.exe' 'HKEY_CLASSES_ROOT\KT4180-Demo\Ini' 'KT4180-Demo-Register.txt'; do
  grep -qF "$text" "$readme" || fail "LIESMICH.txt lacks $text"
done
echo ok

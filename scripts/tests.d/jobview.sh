#!/usr/bin/env bash
# The jobview tool as people run it: a template from a file and from standard input, a malformed
# job (listing, then the offset on standard error, exit 1), a missing file (exit 2), and --json read
# back with a JSON parser.
set -u
cd "$(dirname "$0")/../.."
jobview=${JOBVIEW:-dist/jobview}
[ -x "$jobview" ] || { echo "no $jobview"; exit 1; }
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Head clean, 100 bytes.
printf '\x00\x00\x00\x1b\x01@EJL 1284.4\n@EJL     \n\x1b@\x1b@' > "$work/head-clean.bin"
printf '\x1b(R\x08\x00\x00REMOTE1TI\x08\x00\x00\x07\xd6\x01\x08\x0a\x35\x24JS\x04\x00\x00\x00\x00\x00' >> "$work/head-clean.bin"
printf 'CH\x02\x00\x00\x00\x1b\x00\x00\x00\x1b@\x1b@\x1b(R\x08\x00\x00REMOTE1JE\x01\x00\x00\x1b\x00\x00\x00' >> "$work/head-clean.bin"

out=$("$jobview" "$work/head-clean.bin") || fail "head clean: exit $?"
for line in '      44    TI (8)  00 07 D6 01 08 0A 35 24' '      64    CH (2)  00 00' '      91    JE (1)  00' \
            '     100  end of job (100 bytes)'; do
  grep -qxF -- "$line" <<<"$out" || fail "head clean: no line '$line' in:"$'\n'"$out"
done
[ "$("$jobview" - < "$work/head-clean.bin" | tail -n +2)" = "$(tail -n +2 <<<"$out")" ] || fail "stdin differs from file"

head -c 50 "$work/head-clean.bin" > "$work/cut.bin"
"$jobview" "$work/cut.bin" > "$work/out" 2> "$work/err"; status=$?
[ $status -eq 1 ] || fail "truncated job: exit $status"
grep -q '      31  remote block REMOTE1' "$work/out" || fail "truncated job: pieces before the fault not listed"
grep -q 'offset 44' "$work/err" || fail "truncated job: no offset in: $(cat "$work/err")"

"$jobview" "$work/missing.bin" > /dev/null 2>&1; status=$?
[ $status -eq 2 ] || fail "missing file: exit $status"
# --json: a document per job, the same exit status, and a file name that needs escaping.
odd="$work/we\"ird\\$(printf '\377').bin"
cp "$work/head-clean.bin" "$odd"
"$jobview" --json "$work/head-clean.bin" "$work/cut.bin" "$odd" > "$work/json" 2>/dev/null; status=$?
[ $status -eq 1 ] || fail "--json with a truncated job: exit $status"
python3 - "$work/json" <<'EOF' || fail "--json: $(cat "$work/json")"
import json, sys
clean, cut, odd = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8")]
assert clean["size"] == 100 and clean["fault"] is None, clean
assert {"offset": 44, "length": 12, "kind": "command", "name": "TI",
        "parameters": [0x00, 0x07, 0xD6, 0x01, 0x08, 0x0A, 0x35, 0x24]} in clean["pieces"], clean["pieces"]
assert [p["kind"] for p in clean["pieces"]][:3] == ["preamble", "reset", "reset"], clean["pieces"]
assert cut["fault"]["offset"] == 44 and cut["pieces"][-1]["offset"] == 31, cut
assert odd["file"].endswith('we"ird\\\ufffd.bin') and odd["pieces"] == clean["pieces"], odd["file"]
EOF
echo "jobview: listing, stdin, malformed and missing files, and --json as expected"

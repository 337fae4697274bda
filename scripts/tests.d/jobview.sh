#!/usr/bin/env bash
# The jobview tool as people run it: a template from a file and from standard input, a malformed
# job (listing, then the offset on standard error, exit 1) and a missing file (exit 2).
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
echo "jobview: listing, stdin, malformed and missing files as expected"

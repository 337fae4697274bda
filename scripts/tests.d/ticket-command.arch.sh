#!/usr/bin/env bash
# orlinhost ticket for one architecture (x86 or x64), as the demo shows it: the job's default
# ticket holds the five settings once each; Photo with Medium drops set as an application would is
# resolved to Light, and Light is what reaches the job devmode; wrong arguments exit 2.
set -u
cd "$(dirname "$0")/../.."
. scripts/wine-env.sh
arch=$1
printer="Orlin Virtual Printer"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$arch: FAILED: $*"; exit 1; }
ticket() {  # ticket NAME EXPECTED-EXIT ARG...: output in $work/NAME
  local name=$1 expected=$2 code
  shift 2
  wine "dist/$arch/orlinhost.exe" ticket "$@" </dev/null >"$work/$name" 2>&1
  code=$?
  [ "$code" = "$expected" ] || fail "ticket $*: exit $code, expected $expected:"$'\n'"$(tail -n 20 "$work/$name")"
}
has() { grep -qF -- "$2" "$work/$1" || fail "$1: no \"$2\" in:"$'\n'"$(cat "$work/$1")"; }

ticket default 0 --printer "$printer"
for option in orlin:Standard orlin:Heavy orlin:On orlin:Level1 orlin:Full8Channels; do
  [ "$(grep -c "<psf:Option name=\"$option\"/>" "$work/default")" = 1 ] || fail "default: $option not once"
done
has default 'BindPrinter(1): OEMPT_DEFAULT'
has default 'constrained="psk:None"'

ticket photo 0 --printer "$printer" --set PrintMode=Photo --set InkDropSize=Medium
has photo 'ValidatePrintTicket: S_CONFLICT_RESOLVED'
sed -n '/^PrintTicket, validated:/,/^<\/psf:PrintTicket>/p' "$work/photo" > "$work/validated"
[ "$(grep -c 'name="orlin:InkDropSize"' "$work/validated")" = 1 ] || fail "the validated ticket: not one InkDropSize"
has validated '<psf:Option name="orlin:Light"/>'
has photo 'dropSize      2 (Light)'
has photo 'printMode     2 (Photo)'

ticket unknown-option 2 --printer "$printer" --set InkDropSize=Huge
has unknown-option 'InkDropSize has the options Heavy Medium Light'
ticket no-printer 2 --printer "No Such Printer"
ticket no-printer-named 2
echo "$arch: the default ticket, Photo with Medium resolved to Light in the ticket and the job, wrong arguments refused"

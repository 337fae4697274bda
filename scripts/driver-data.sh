#!/usr/bin/env bash
# Writes the four driver data files the plug-in sends from the printer-driver directory into both
# driver directories of the Wine prefix (w32x86\3 for the x86 plug-in, x64\3 for the x64 one).
# They are synthetic test data made by this project, not the printer maker's patterns: each is
# framed like the plug-in's own command templates (job-language preamble, resets, a remote-mode
# block with a job start, the closing job end) and carries only what the plug-in relies on:
#   align.bin   2,131 bytes  an alignment "pattern" body (0xAA bytes) and a form feed
#   cnt16.bin      98 bytes  a 16-byte counter block
#   test.bin   65,881 bytes  the drop-size byte at index 65849 (0x10 here), as the parameter of
#                            a remote-mode command "DS" placed exactly there
#   purge.bin     191 bytes  four ESC i bands whose colour bytes (indexes 58, 85, 112, 139) hold
#                            Y, M, C, K (0x0A 0x01 0x00 0x02), for the plug-in to replace
# Usage: driver-data.sh [OUTPUT-FOLDER]  (default: both driver directories of $WINEPREFIX)
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"

bytes() { printf "$(printf '\\x%s' "$@")"; }      # bytes 1B 40 ... writes those bytes
fill() { head -c "$1" /dev/zero | tr '\0' "\\$(printf '%03o' "0x$2")"; }  # fill N HH

preamble() { bytes 00 00 00 1B 01; printf '@EJL 1284.4\n@EJL     \n'; bytes 1B 40 1B 40; }
remote_start() { bytes 1B 28 52 08 00 00; printf 'REMOTE1'; }
remote_end() { bytes 1B 00 00 00; }
job_start() { remote_start; bytes 4A 53 04 00 00 00 00 00; remote_end; }
closing() { bytes 1B 40 1B 40; remote_start; bytes 4A 45 01 00 00; remote_end; }

align() { preamble; job_start; fill 2048 AA; bytes 0C; closing; }
cnt16() { preamble; job_start; fill 16 00; closing; }
test_pattern() {
  preamble; job_start                    # 56 bytes
  fill $((65832 - 56)) AA                # the pattern body, up to the drop-size command
  remote_start; bytes 44 53 01 00 10; remote_end   # "DS" at 65845, its parameter at 65849
  bytes 0C; closing
}
purge() {
  preamble; job_start
  for colour in 0A 01 00 02; do bytes 1B 69 "$colour" 01 02 10 00 01 00; fill 16 AA; bytes 0D 0A; done
  bytes 0C; closing
}

write_all() {
  local dir=$1
  mkdir -p "$dir"
  align > "$dir/align.bin"
  cnt16 > "$dir/cnt16.bin"
  test_pattern > "$dir/test.bin"
  purge > "$dir/purge.bin"
}

if [ $# -ge 1 ]; then
  write_all "$1"
else
  drivers="$WINEPREFIX/drive_c/windows/system32/spool/drivers"
  write_all "$drivers/w32x86/3"
  write_all "$drivers/x64/3"
fi

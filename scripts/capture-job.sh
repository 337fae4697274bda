#!/bin/sh
# The virtual printer's port: Wine's spooler pipes each job to this script, which keeps it as the
# next numbered file in the jobs folder (000001.bin, 000002.bin, ...). A job is written under a
# temporary name and renamed into place once complete, so readers never see half a job.
# Usage (as the port command): capture-job.sh JOBS-FOLDER
set -eu
jobs=$1
mkdir -p "$jobs"
part=$(mktemp "$jobs/.incoming.XXXXXX")
cat > "$part"
chmod 644 "$part"
(
  flock 9
  last=$(cat "$jobs/.last" 2>/dev/null || echo 0)
  next=$((last + 1))
  mv "$part" "$jobs/$(printf '%06d' "$next").bin"
  echo "$next" > "$jobs/.last"
) 9> "$jobs/.lock"

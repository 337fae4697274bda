# Sourced by the test runner, after wine-env.sh: each test tier runs as a process group of its own
# (setsid), waited for with `wait`, which an interrupt cuts short (a shell waiting in the foreground
# would let a Wine program swallow it and go on). Such a group outlives the run when the run's own
# process group is killed, and SIGKILL skips the run's EXIT trap. So the group of every tier the run
# starts is kept in the prefix's .orlin-tiers (two run at once when the run has a lane beside its
# Wine tiers), a watchdog outside the run ends them and the prefix's Wine processes when the run is
# gone without ending them itself, and the next run in the prefix ends whatever a watchdog could not.
orlin_tiers=$WINEPREFIX/.orlin-tiers
orlin_tier=
orlin_watchdog=

# orlin_tier_run COMMAND...: runs one tier and returns its status.
orlin_tier_run() {
  setsid "$@" &
  orlin_tier=$!
  echo "$orlin_tier" >>"$orlin_tiers"
  wait "$orlin_tier"
  local status=$?
  orlin_tier=
  return $status
}

# Ends the tier groups recorded in this prefix. A recorded number is only acted on while a process
# of that group still runs with this prefix: by now it may belong to another program.
orlin_tiers_end_leftovers() {
  [ -s "$orlin_tiers" ] || return 0
  local group pid
  while read -r group; do
    for pid in $(pgrep -g "${group:-0}" 2>/dev/null); do
      if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
        kill -KILL -- -"$group" 2>/dev/null
        break
      fi
    done
  done <"$orlin_tiers"
  rm -f "$orlin_tiers"
}

# Starts the watchdog of this shell's run; orlin_tiers_end stops it when the run ends by itself.
# Its wait is bounded by the longest a run may take. `timeout --foreground` stays in the watchdog's
# process group (plain timeout makes a group of its own), so ending that group ends its wait too.
orlin_tiers_watch() {
  setsid bash -c '
    timeout --foreground 21600 tail --pid="$1" -f /dev/null
    . scripts/wine-env.sh && . scripts/tiers.sh && orlin_tiers_end_leftovers && orlin_wine_end' \
    orlin-watchdog "$$" </dev/null >/dev/null 2>&1 &
  orlin_watchdog=$!
}

# Ends the run's tier, if one is running, and its watchdog, and returns once the watchdog's group is
# gone (two seconds at most): the run leaves nothing of its own running behind it.
orlin_tiers_end() {
  if [ -n "$orlin_tier" ]; then kill -TERM -- -"$orlin_tier" 2>/dev/null; fi
  if [ -n "$orlin_watchdog" ]; then
    kill -TERM -- -"$orlin_watchdog" 2>/dev/null
    wait "$orlin_watchdog" 2>/dev/null
    local tries=20
    while [ $tries -gt 0 ] && pgrep -g "$orlin_watchdog" >/dev/null 2>&1; do sleep 0.1; tries=$((tries - 1)); done
  fi
  rm -f "$orlin_tiers"
}

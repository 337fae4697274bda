# Sourced by the set-up and build scripts: each step prints one line, keeps its output in
# build/logs/NAME.log, and shows the command and the log's tail when it fails.
orlin_logs="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/logs"

# orlin_step LABEL NAME COMMAND...: runs COMMAND with its output in build/logs/NAME.log.
# COMMAND runs where `set -e` does not apply: a function given here returns its first failure itself.
orlin_step() {
  local label=$1 log=$orlin_logs/$2.log start=$SECONDS status
  shift 2
  mkdir -p "$orlin_logs"
  printf '%s ... ' "$label"
  if "$@" >"$log" 2>&1 </dev/null; then
    echo "ok ($((SECONDS - start)) s)"
    return 0
  else
    status=$?
  fi
  echo "FAILED (exit $status)"
  echo "  command: $*"
  echo "  last lines of $log:"
  tail -n 25 "$log" | sed 's/^/  | /'
  return $status
}

# Runs a command as root: directly when we are root, else through sudo.
as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"
  elif command -v sudo >/dev/null; then sudo "$@"
  else echo "needs root to install packages: run as root or install sudo" >&2; return 1
  fi
}

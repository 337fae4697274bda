# Sourced by every script that starts Wine: the one place that decides how Wine is started.
#
# Debian's wine, winepath and wineboot wrappers start the 32-bit loader whenever wine32 is
# installed, and some machines' kernels run no 32-bit programs at all (Exec format error). So the
# wrappers in scripts/wine-bin, first on PATH from here, start everything through the 64-bit loader,
# which hands a 32-bit program on to the 32-bit loader where x86 runs. Scripts ask orlin_x86_runs
# before they run an x86 program. ORLIN_X86=no forces the 64-bit-only path on any machine;
# ORLIN_X86=yes insists on x86 and fails where it cannot run.
orlin_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${ORLIN_WINEPREFIX:-$orlin_root/build/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
export ORLIN_WINE64=/usr/lib/wine/wine64 ORLIN_WINE32=/usr/lib/wine/wine ORLIN_WINE32_LIBS=/usr/lib/i386-linux-gnu/wine
export ORLIN_WINESERVER=/usr/lib/wine/wineserver64 WINELOADER=/usr/lib/wine/wine64
case ":$PATH:" in *":$orlin_root/scripts/wine-bin:"*) ;; *) PATH="$orlin_root/scripts/wine-bin:$PATH" ;; esac
export PATH

# orlin_write_elf FILE MACHINE: a 96-byte executable that exits with status 42, for the given ELF
# machine (03 i386; 28 ARM, which an x86 kernel refuses with Exec format error).
orlin_write_elf() {
  local elf=(
    7f 45 4c 46 01 01 01 00 00 00 00 00 00 00 00 00  # ELF, 32-bit, little-endian
    02 00 "$2" 00 01 00 00 00 54 80 04 08 34 00 00 00  # executable, the machine, entry 0x08048054
    00 00 00 00 00 00 00 00 34 00 20 00 01 00 00 00  # one program header, at 52
    00 00 00 00
    01 00 00 00 00 00 00 00 00 80 04 08 00 80 04 08  # the whole file loaded at 0x08048000
    60 00 00 00 60 00 00 00 05 00 00 00 00 10 00 00  # 96 bytes, read and execute
    b8 01 00 00 00 bb 2a 00 00 00 cd 80              # i386: exit(42)
  )
  printf "$(printf '\\x%s' "${elf[@]}")" >"$1" && chmod +x "$1"
}

# True when the kernel runs i386 programs. Needs nothing installed, so the set-up can ask before it
# chooses the packages.
orlin_kernel_runs_x86() {
  local probe status
  mkdir -p "$orlin_root/build"  # not /tmp, which may forbid running programs
  probe=$(mktemp "$orlin_root/build/.i386-probe.XXXXXX") || return 1
  orlin_write_elf "$probe" 03
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  [ $status = 42 ]
}

# Decides once per run whether x86 programs are run: sets and exports ORLIN_X86_RUNS (yes or no)
# and ORLIN_X86_WHY (one line, when no). Returns 0 when x86 runs.
orlin_x86_runs() {
  if [ -z "${ORLIN_X86_RUNS:-}" ]; then
    ORLIN_X86_RUNS=no
    case "${ORLIN_X86:-}" in
      no) ORLIN_X86_WHY="ORLIN_X86=no forces the 64-bit-only path" ;;
      yes | auto | "")
        local out
        if ! orlin_kernel_runs_x86; then
          ORLIN_X86_WHY="this machine runs no 32-bit programs (the kernel refuses i386 executables)"
        elif [ ! -x "$ORLIN_WINE32" ]; then
          ORLIN_X86_WHY="the 32-bit Wine loader $ORLIN_WINE32 is not installed (package wine32:i386)"
        elif ! out=$("$ORLIN_WINE32" --version 2>&1 </dev/null); then
          ORLIN_X86_WHY="the 32-bit Wine loader does not start: $(printf '%s' "$out" | tail -n 1)"
        else
          ORLIN_X86_RUNS=yes ORLIN_X86_WHY=
        fi ;;
      *) echo "ORLIN_X86 must be yes, no or empty, not \"$ORLIN_X86\"" >&2; exit 2 ;;
    esac
    if [ "${ORLIN_X86:-}" = yes ] && [ $ORLIN_X86_RUNS = no ]; then
      echo "ORLIN_X86=yes, but x86 programs cannot run here: $ORLIN_X86_WHY" >&2
      exit 1
    fi
    export ORLIN_X86_RUNS ORLIN_X86_WHY
  fi
  [ "$ORLIN_X86_RUNS" = yes ]
}

# ORLIN_X86=no where x86 does run: the wrappers hide 32-bit Wine (its loader behind a file the
# kernel refuses, its libraries behind an empty folder) in a mount namespace of each Wine command,
# so that Wine itself, making a prefix say, meets what it meets on a machine that runs no 32-bit
# programs and has no wine32. Needs unshare's rights (root); without them only the project's own
# x86 programs are left out.
unset ORLIN_X86_HIDE
if [ "${ORLIN_X86:-}" = no ] && [ -x "$ORLIN_WINE32" ] && [ -z "${ORLIN_X86_HIDDEN:-}" ] &&
   unshare --mount --propagation private mount --bind "$ORLIN_WINE32" "$ORLIN_WINE32" 2>/dev/null; then
  export ORLIN_X86_HIDE="$orlin_root/build/no-x86-wine"
  if [ ! -f "$ORLIN_X86_HIDE/wine" ]; then
    mkdir -p "$ORLIN_X86_HIDE/empty" && orlin_write_elf "$ORLIN_X86_HIDE/wine" 28
  fi
fi

# orlin_wine_wait [SECONDS]: waits for this prefix's server to end, at most SECONDS (default 60).
# A persistent server never ends by itself, so no wait on Wine is without a bound.
orlin_wine_wait() {
  local limit=${1:-60}
  timeout "$limit" wineserver -w >/dev/null 2>&1 </dev/null
  [ $? != 124 ] && return 0
  echo "the Wine server of the prefix $WINEPREFIX did not end within $limit s" >&2
  return 1
}

# One persistent server for a script's run of Wine programs, ended by orlin_wine_end. A server still
# ending (after the set-up, or the program before) would not become persistent, and would take the
# prefix's desktop with it while the next program starts; the services start here with no output of
# ours, so that they hold no pipe (such as `make demo | less`) open. A persistent server left by a
# run that was killed is ended first.
orlin_wine_start() {
  orlin_wine_wait 30 2>/dev/null || { orlin_wine_end && orlin_wine_wait 30; } || return
  wineserver -p >/dev/null 2>&1 </dev/null
  timeout 120 wineboot >/dev/null 2>&1 </dev/null
}

# Ends every Wine process of this prefix, its server and the prefix's services among them.
orlin_wine_end() {
  if [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1 </dev/null || true; fi
}

# The folder where the virtual printer of this prefix keeps each job it receives: beside the prefix.
orlin_jobs_folder() {
  printf '%s\n' "$(dirname "$WINEPREFIX")/virtual-printer/jobs"
}

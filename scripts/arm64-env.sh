# Sourced by the scripts that run the ARM64 plug-in: Debian's arm64 Wine, unpacked into
# build/arm64-wine by the set-up (scripts/arm64-wine.sh), run under qemu-aarch64 from Debian's
# qemu-user-static, unpacked beside it. Nothing is installed and no binfmt_misc handler is needed:
# the tree's loader and server entry points (usr/lib/wine/wine64 and wineserver) are scripts that
# start the aarch64 programs under qemu, and Wine starts every new process through its loader's
# name. Its prefix is build/wine-arm64, marked like the x64 one; its server is ours alone.
#
# ORLIN_ARM64=no skips the ARM64 run; ORLIN_ARM64=yes makes a run that cannot happen a failure.
orlin_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
orlin_arm64_tree=$orlin_root/build/arm64-wine
orlin_arm64_prefix=$orlin_root/build/wine-arm64

case "${ORLIN_ARM64:-}" in
  yes | no | auto | "") ;;
  *) echo "ORLIN_ARM64 must be yes, no or empty, not \"$ORLIN_ARM64\"" >&2; exit 2 ;;
esac

# orlin_arm64_wine PROGRAM ARGS...: a program in the arm64 prefix, headless, without Mono and Gecko.
orlin_arm64_wine() {
  WINEPREFIX=$orlin_arm64_prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=mscoree,mshtml= WINEARCH=win64 \
    "$orlin_arm64_tree/usr/lib/wine/wine64" "$@"
}
# orlin_arm64_server OPTION: the arm64 prefix's own server (-p persistent, -k end, -w wait).
orlin_arm64_server() {
  WINEPREFIX=$orlin_arm64_prefix "$orlin_arm64_tree/usr/lib/wine/wineserver" "$@"
}
# Ends every Wine process of the arm64 prefix, within a bound.
orlin_arm64_end() {
  [ -f "$orlin_arm64_prefix/.orlin-arches" ] || return 0
  timeout 30 env WINEPREFIX="$orlin_arm64_prefix" "$orlin_arm64_tree/usr/lib/wine/wineserver" -k >/dev/null 2>&1 </dev/null
  timeout 30 env WINEPREFIX="$orlin_arm64_prefix" "$orlin_arm64_tree/usr/lib/wine/wineserver" -w >/dev/null 2>&1 </dev/null
  return 0
}

# Decides once whether the ARM64 plug-in can be run here: sets ORLIN_ARM64_WHY (one line) when not.
orlin_arm64_runs() {
  ORLIN_ARM64_WHY=
  if [ "${ORLIN_ARM64:-}" = no ]; then
    ORLIN_ARM64_WHY="ORLIN_ARM64=no skips it"
  elif [ ! -f "$orlin_arm64_tree/.orlin-made" ]; then
    ORLIN_ARM64_WHY="no arm64 Wine in ${orlin_arm64_tree#"$orlin_root"/} (scripts/setup.sh fetches it; see build/logs/setup-arm64-wine.log)"
  elif [ "$(cat "$orlin_arm64_prefix/.orlin-arches" 2>/dev/null)" != arm64 ]; then
    ORLIN_ARM64_WHY="no arm64 Wine prefix in ${orlin_arm64_prefix#"$orlin_root"/} (scripts/setup.sh makes it)"
  fi
  [ -z "$ORLIN_ARM64_WHY" ]
}

#!/usr/bin/env bash
# Prepares the headless Wine prefix inside the build tree: created once, null graphics driver so
# that dialogs and property sheets run without an X server, the virtual printer and the driver data
# files. A prefix made for x64 only is made again once x86 runs here, as it lacks the 32-bit system.
#
# Only a prefix this project made is ever changed, deleted or made again: it carries the marker
# .orlin-arches (what it was made for) from the moment we start making it. A prefix of an earlier
# version of the project, made before the marker, is recognised by where it lies and marked for what
# it holds. Any other folder with something in it (a user's prefix named in ORLIN_WINEPREFIX, their
# ~/.wine) is left exactly as it is, and the step fails saying so.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/steps.sh"
. "$here/scripts/wine-env.sh"

arches=x64
orlin_x86_runs && arches="x86 x64"
marker=$WINEPREFIX/.orlin-arches
label="setup: Wine prefix ${WINEPREFIX#"$here"/} ($arches)"
log=wine-prefix-$(basename "$(dirname "$WINEPREFIX")")-$(basename "$WINEPREFIX")

# Where the scripts before the marker made their prefixes: the tests', the x64-only check's and the
# screenshots' (README).
earlier_prefix() {
  local where
  where=$(realpath -m "$WINEPREFIX")
  case $where in
    "$here/build/wine" | "$here/build/x64-only/wine" | "$here/build/wine-display") return 0 ;;
  esac
  return 1
}

if [ -d "$WINEPREFIX" ] && [ ! -f "$marker" ] && [ -n "$(ls -A "$WINEPREFIX")" ]; then
  if ! earlier_prefix; then
    echo "$label ... FAILED"
    echo "  $WINEPREFIX is not empty and was not made by this project (it has no .orlin-arches marker)."
    echo "  It is left as it is. Set ORLIN_WINEPREFIX to a new or empty folder, or leave it unset."
    exit 1
  fi
  if [ -f "$WINEPREFIX/system.reg" ]; then  # marked for what it holds: 32-bit Wine fills syswow64
    if [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then echo "x86 x64" >"$marker"
    else echo x64 >"$marker"; fi
  else
    echo unfinished >"$marker"  # its making was cut short: made again below
  fi
fi

# A server of this prefix, persistent ones left by a killed run among them, would keep the registry
# files unwritten and make every wait below last for ever.
if [ -f "$marker" ]; then
  orlin_wine_end
  orlin_wine_wait 30 || { echo "$label ... FAILED"; exit 1; }
fi
if [ -f "$marker" ] && [ "$(cat "$marker")" != "$arches" ]; then
  rm -rf "$WINEPREFIX"
fi

# Each function returns its first failure itself (see orlin_step).
make_prefix() {  # Wine writes the registry files when its server ends
  mkdir -p "$WINEPREFIX" && echo unfinished >"$marker" && timeout 300 wineboot -i && orlin_wine_wait 120 &&
    [ -f "$WINEPREFIX/system.reg" ] && echo "$arches" >"$marker"
}
graphics() {
  if [ "${ORLIN_DISPLAY:-}" = 1 ]; then
    wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f
    # Screenshots under Xvfb have no window manager: Wine draws the windows' frames itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f &&
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  else
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
  fi
}
# The dialog fonts as Windows resolves them, with Debian's fonts in the place of Windows' own: the shell
# font "MS Shell Dlg 2" is Tahoma, which this prefix draws (as every Latin face it lacks) with DejaVu
# Sans, a little wider than Tahoma, so text that fits here fits on Windows. Windows links its Latin UI
# fonts to the Japanese, Chinese and Korean UI fonts for the characters they lack; here DejaVu Sans
# links to IPA P Gothic (Japanese) and WenQuanYi Micro Hei (Chinese, both scripts, and Korean), and
# the Windows CJK UI faces are replaced by the same two.
fonts() {
  local key='HKCU\Software\Wine\Fonts\Replacements' face
  wine reg add "$key" /v Tahoma /d "DejaVu Sans" /f || return
  for face in "MS UI Gothic" "Meiryo UI" "Yu Gothic UI"; do
    wine reg add "$key" /v "$face" /d IPAPGothic /f || return
  done
  for face in SimSun "Microsoft YaHei UI" PMingLiU "Microsoft JhengHei UI" Gulim "Malgun Gothic"; do
    wine reg add "$key" /v "$face" /d "WenQuanYi Micro Hei" /f || return
  done
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "DejaVu Sans" \
    /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic\0wqy-microhei.ttc,WenQuanYi Micro Hei' /f
}
prepare() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then make_prefix || return; fi
  graphics && fonts && "$here/scripts/virtual-printer.sh" && "$here/scripts/driver-data.sh" && orlin_wine_wait 60
}
orlin_step "$label" "$log" prepare

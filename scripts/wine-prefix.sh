#!/usr/bin/env bash
# Prepares the headless Wine prefix inside the build tree: created once, null graphics driver so
# that dialogs and property sheets run without an X server, the virtual printer and the driver data
# files. A prefix made for x64 only is made again once x86 runs here, as it lacks the 32-bit system.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/steps.sh"
. "$here/scripts/wine-env.sh"

arches=x64
orlin_x86_runs && arches="x86 x64"
marker=$WINEPREFIX/.orlin-arches
if [ -f "$WINEPREFIX/system.reg" ] && [ "$(cat "$marker" 2>/dev/null || echo "x86 x64")" != "$arches" ]; then
  orlin_wine_end
  rm -rf "$WINEPREFIX"
fi
label="setup: Wine prefix ${WINEPREFIX#"$here"/} ($arches)"
log=wine-prefix-$(basename "$(dirname "$WINEPREFIX")")-$(basename "$WINEPREFIX")

# Each function returns its first failure itself (see orlin_step).
make_prefix() {  # Wine writes the registry files when its server ends
  mkdir -p "$WINEPREFIX" && wineboot -i && wineserver -w && [ -f "$WINEPREFIX/system.reg" ] &&
    echo "$arches" >"$marker"
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
prepare() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then make_prefix || return; fi
  graphics && "$here/scripts/virtual-printer.sh" && "$here/scripts/driver-data.sh" && wineserver -w
}
orlin_step "$label" "$log" prepare

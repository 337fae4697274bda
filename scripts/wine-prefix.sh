#!/usr/bin/env bash
# Prepares the headless Wine prefix inside the build tree: created once, null graphics driver so
# that dialogs and property sheets run without an X server.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 </dev/null || true
fi
if [ "${ORLIN_DISPLAY:-}" = 1 ]; then
  wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f </dev/null >/dev/null 2>&1 || true
  # Screenshots under Xvfb have no window manager: Wine draws the windows' frames itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f </dev/null >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
else
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
fi
"$(dirname "$0")/virtual-printer.sh" >/dev/null
"$(dirname "$0")/driver-data.sh"

# Sourced by the scripts: the project's own Wine prefixes, never the user's ~/.wine.
orlin_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${ORLIN_WINEPREFIX:-$orlin_root/build/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
unset DISPLAY_PREFIX_UNUSED

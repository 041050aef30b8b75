#!/usr/bin/env bash
# The tests' displays run no window manager: Wine then waits two seconds for the withdrawal of
# every managed top-level window it hides (each start and quit of the mixer hid three). Windows
# are left unmanaged, as nothing manages them there anyway.
#   10-unmanaged-windows.sh <build dir> <source dir>     (WINEPREFIX and KIV_WINE set)
set -euo pipefail
"$KIV_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1

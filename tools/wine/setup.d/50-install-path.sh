#!/usr/bin/env bash
# The install key the effects plug-in's editor finds its skin and help under: "Path" names
# the tree's program folder (which holds VST\KivQuorvel\Skins\Default).
#   50-install-path.sh <build dir> <source dir>     (WINEPREFIX and KIV_WINE set)
set -euo pipefail
build=$1
folder=$("$KIV_WINE" winepath -w "$build/program" 2>/dev/null | tr -d '\r')
"$KIV_WINE" reg add 'HKLM\Software\Halvorn Professional\KIV Corvan DSP' /v Path /t REG_SZ /d "$folder" /f \
  >/dev/null 2>&1

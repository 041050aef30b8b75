#!/usr/bin/env bash
# Creates the card driver's "ZAvo" and "KDSPState" keys, which the mixer program's hardware
# reset writes only when they exist.
#   30-kdsp-driver-keys.sh <build dir> <source dir>   (WINEPREFIX and KIV_WINE set)
set -euo pipefail
base='HKLM\System\CurrentControlSet\Control\Halvorn Tech\Vorpex'
for key in ZAvo KDSPState; do
  "$KIV_WINE" reg add "$base\\$key" /f >/dev/null 2>&1
done

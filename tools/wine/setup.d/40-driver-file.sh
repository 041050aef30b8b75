#!/usr/bin/env bash
# The card's kernel driver as the program reads it: the stand-in ZUNDRVX.SYS (version
# resource only) in the drivers folder, and the driver's class key with "DriverVersion".
#   40-driver-file.sh <build dir> <source dir>     (WINEPREFIX and KIV_WINE set)
set -euo pipefail
build=$1
drivers=$WINEPREFIX/drive_c/windows/system32/drivers
mkdir -p "$drivers"
if [ -f "$build/standins/driverfile/ZUNDRVX.SYS" ]; then
  cp -f "$build/standins/driverfile/ZUNDRVX.SYS" "$drivers/ZUNDRVX.SYS"
fi
"$KIV_WINE" reg add 'HKLM\SYSTEM\CurrentControlSet\Control\Class\{4d36e96c-e325-11ce-bfc1-08002be10318}\0042' \
  /v DriverVersion /t REG_SZ /d 5.12.1.130 /f >/dev/null 2>&1

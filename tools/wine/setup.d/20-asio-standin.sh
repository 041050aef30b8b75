#!/usr/bin/env bash
# Registers the simulated card's ASIO driver and the maker's device enumerator
# (standins/asio, KivAsioStandin.dll) in the prefix, the way their installers would.
#   20-asio-standin.sh <build dir> <source dir>   (WINEPREFIX and KIV_WINE set)
set -euo pipefail
build=$1
dll=$("$KIV_WINE" winepath -w "$build/standins/asio/KivAsioStandin.dll" 2>/dev/null | tr -d '\r')
driver='{6DA30E89-6CC7-45EE-8ACC-FAA75E5C448F}'
enumerator='{E86E2ED6-EF56-4FE7-A16E-14F0A1D9B953}'
name='KIV Corvan ASIO'

add() { "$KIV_WINE" reg add "$@" /f >/dev/null 2>&1; }

for clsid in "$driver" "$enumerator"; do
  add "HKCR\\CLSID\\$clsid\\InprocServer32" /ve /d "$dll"
  add "HKCR\\CLSID\\$clsid\\InprocServer32" /v ThreadingModel /d Apartment
done
add "HKCR\\CLSID\\$driver" /ve /d "$name"
add "HKCR\\CLSID\\$enumerator" /ve /d "KIV device enumerator"
add "HKLM\\SOFTWARE\\ASIO\\$name" /v CLSID /d "$driver"
add "HKLM\\SOFTWARE\\ASIO\\$name" /v Description /d "$name"

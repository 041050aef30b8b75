#!/usr/bin/env bash
# Registers the audio endpoint stand-ins (standins/audioendpoints) under the system's class ids
# of the audio device enumerator and the audio policy-configuration object, in the test prefix
# only, so the endpoint-format library creates them exactly as it creates the real objects.
#   20-audio-endpoints.sh <build dir> <source dir>   (WINEPREFIX and KIV_WINE set)
set -euo pipefail
build=$1
dll="$build/standins/audioendpoints/KivAudioEndpoints.dll"
# Z: is the prefix's drive for the host's root; .reg strings double their backslashes.
path="Z:${dll//\//\\\\}"
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
{
  echo 'REGEDIT4'
  for clsid in '{BCDE0395-E52F-467C-8E3D-C4579291692E}' '{294935CE-F637-4E7C-A41B-AB255460B862}'; do
    echo
    echo "[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\$clsid\\InprocServer32]"
    echo "@=\"$path\""
    echo '"ThreadingModel"="Both"'
  done
} > "$reg"
"$KIV_WINE" regedit /S "Z:${reg//\//\\}" >/dev/null

#!/usr/bin/env bash
# The build of the SDK's shape: VANTREL_SIMCONNECT_SDK names ".../MSFS SDK/SimConnect SDK", blanks and all.
# Its include/SimConnect.h is our own declarations, copied (the SDK's header is not ours to have); the
# build folder holds a simulated SimConnect.dll in its program folder from before, as one built without the
# SDK did. The program folder and the zip must come out without it, and vantrel.exe must import none.
#
#   sdk_shaped_build.sh <source folder> <windows-deps prefix> <work folder>
set -euo pipefail
source=$1
deps=$2
work=$3

rm -rf "$work"
sdk="$work/MSFS SDK/SimConnect SDK"
mkdir -p "$sdk/include" "$sdk/lib"
cp "$source/platform/simconnect/simconnect_declarations.h" "$sdk/include/SimConnect.h"
build="$work/build"
mkdir -p "$build/dist/Vantrel"
echo "a simulated simulator of an earlier build" >"$build/dist/Vantrel/SimConnect.dll"

VANTREL_SIMCONNECT_SDK="$sdk" VANTREL_WINDOWS_DEPS="$deps" VANTREL_WINDOWS_BUILD_DIR="$build" \
  VANTREL_WINDOWS_CMAKE_ARGS='' "$source/scripts/build-windows"

failed=0
check() {
  local description=$1
  shift
  if "$@"; then echo "ok: $description"; else echo "FAILED: $description"; failed=1; fi
}
holds() { grep -qF -- "$2" <<<"$1"; }
lacks() { ! grep -qi -- "$2" <<<"$1"; }
check "configured with the SDK folder as given" grep -qxF "VANTREL_SIMCONNECT_SDK:PATH=$sdk" "$build/CMakeCache.txt"
check "the SDK's header declared the link" grep -qF "$sdk/include" "$build/compile_commands.json"
check "no SimConnect.dll in the program folder" test ! -e "$build/dist/Vantrel/SimConnect.dll"
listing=$(unzip -l "$build/dist/Vantrel.zip")
check "vantrel.exe in the zip" holds "$listing" "Vantrel/vantrel.exe"
check "no SimConnect.dll in the zip" lacks "$listing" SimConnect
imports=$(x86_64-w64-mingw32-objdump -p "$build/dist/Vantrel/vantrel.exe" | grep "DLL Name")
check "vantrel.exe imports Windows' DLLs" holds "$imports" KERNEL32.dll
check "vantrel.exe imports no SimConnect.dll" lacks "$imports" SimConnect
exit "$failed"

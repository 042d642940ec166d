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
  VANTREL_WINDOWS_CMAKE_ARGS= "$source/scripts/build-windows"

failed=0
check() {
  if "$@"; then echo "ok: ${description}"; else echo "FAILED: ${description}"; failed=1; fi
}
description="configured with the SDK folder as given"
check grep -qxF "VANTREL_SIMCONNECT_SDK:PATH=$sdk" "$build/CMakeCache.txt"
description="the SDK's header declared the link"
check grep -qF "$sdk/include" "$build/compile_commands.json"
description="no SimConnect.dll in the program folder"
check test ! -e "$build/dist/Vantrel/SimConnect.dll"
description="vantrel.exe and no SimConnect.dll in the zip"
listing=$(unzip -l "$build/dist/Vantrel.zip")
check eval 'grep -q "Vantrel/vantrel.exe" <<<"$listing" && ! grep -qi "SimConnect" <<<"$listing"'
description="vantrel.exe imports Windows' DLLs and not SimConnect.dll"
imports=$(x86_64-w64-mingw32-objdump -p "$build/dist/Vantrel/vantrel.exe" | grep "DLL Name")
check eval 'grep -q "KERNEL32.dll" <<<"$imports" && ! grep -qi "SimConnect" <<<"$imports"'
exit "$failed"

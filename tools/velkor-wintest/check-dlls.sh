#!/usr/bin/env bash
# Static checks of the Windows DLLs (the 32-bit one cannot run on a 64-bit-only build machine):
# PE machine type, the undecorated exports VSTPluginMain and main, and imports from Windows
# system DLLs only (a MinGW runtime DLL would be missing on the user's machine).
#   tools/velkor-wintest/check-dlls.sh i686 build-win32/Velkor_2_Demo.dll x86_64 build-win64/Velkor_2_Demo.dll
set -euo pipefail

system_dlls='^(kernel32|user32|gdi32|gdiplus|comdlg32|ole32|oleaut32|shell32|shlwapi|advapi32|comctl32|msvcrt|msimg32|uxtheme|winmm|imm32)\.dll$'
failed=0

fail() {
  echo "FAILED: $*"
  failed=1
}

while (($# >= 2)); do
  arch=$1 dll=$2
  shift 2
  case $arch in
    i686) format=pei-i386 ;;
    x86_64) format=pei-x86-64 ;;
    *) fail "unknown architecture $arch"; continue ;;
  esac
  if [ ! -f "$dll" ]; then
    fail "$dll does not exist"
    continue
  fi
  if ! headers=$("$arch-w64-mingw32-objdump" -p "$dll" 2>&1); then
    fail "$dll: $headers"
    continue
  fi
  grep -q "file format $format\$" <<<"$headers" || fail "$dll is not $format"
  exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" | awk 'NR > 1 && $1 ~ /^\[/ {print $3}')
  [ "$(LC_ALL=C sort <<<"$exports" | tr '\n' ' ')" = "VSTPluginMain main " ] ||
    fail "$dll exports \"$(echo $exports)\" instead of VSTPluginMain and main"
  imports=$(awk '/DLL Name:/ {print $3}' <<<"$headers")
  [ -n "$imports" ] || fail "$dll imports nothing"
  while read -r import; do
    grep -qiE "$system_dlls" <<<"$import" || fail "$dll imports $import, not a Windows system DLL"
  done <<<"$imports"
  echo "$dll: $format, exports $(echo $exports), imports $(echo $imports)"
done
exit $failed

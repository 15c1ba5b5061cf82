#!/bin/sh
# gen_SBeacon.dll is a 32-bit DLL whose only export is the undecorated entry the host looks up,
# and which imports system DLLs only (the runtime is linked in statically).
dll=$1
objdump=i686-w64-mingw32-objdump
fail=0
$objdump -f "$dll" | grep -q 'file format pei-i386' || { echo "not a 32-bit PE file: $dll"; fail=1; }

exports=$($objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^\s*\[ *[0-9]+\]' |
  awk '{print $NF}')
[ "$exports" = "winampGetGeneralPurposePlugin" ] || { echo "unexpected exports: $exports"; fail=1; }

imports=$($objdump -p "$dll" | awk '/DLL Name:/ {print toupper($3)}' | sort | tr '\n' ' ')
for name in $imports; do
  case $name in
    KERNEL32.DLL|USER32.DLL|COMDLG32.DLL|MSVCRT.DLL) ;;
    *) echo "imports a non-system DLL: $name"; fail=1 ;;
  esac
done
echo "exports: $exports"
echo "imports: $imports"
exit $fail

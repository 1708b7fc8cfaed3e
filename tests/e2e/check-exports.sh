#!/usr/bin/env bash
# Checks the module's export surface.
#   check-exports.sh linux MODULE.so     exactly the nine commands and the five BSTR functions
#   check-exports.sh win32 MODULE.dll    exactly the nine names with ordinals 2..10, imports only
#                                        system DLLs (nothing from the compiler's runtime)
set -euo pipefail
kind=$1
module=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ "$kind" = linux ]; then
  actual=$(nm -D --defined-only "$module" | awk '{print $3}' | sort | tr '\n' ' ')
  expected=$(printf '%s\n' CLOSE DAYCLOSE GETSTATUS GETTOTALS OPEN PAY REPRINT VERIFYTRAN VERSION \
    SysAllocString SysAllocStringLen SysFreeString SysStringByteLen SysStringLen | sort | tr '\n' ' ')
  [ "$actual" = "$expected" ] || fail "exports are [$actual], expected [$expected]"
  echo "exports: $actual"
  exit 0
fi

[ "$kind" = win32 ] || fail "unknown kind $kind"
dump=$(i686-w64-mingw32-objdump -p "$module")

# Export address table: "[   n] +base[ ordinal] NAME" lines after "[Ordinal/Name Pointer] Table".
names=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^\s*\[' | \
  sed -E 's/^\s*\[\s*[0-9]+\]\s*(\+base\[\s*([0-9]+)\]\s*[0-9a-fx]*\s*)?/\2 /' | awk '{print $NF}' | sort | tr '\n' ' ')
expected_names=$(printf '%s\n' PAY REPRINT OPEN GETSTATUS DAYCLOSE GETTOTALS CLOSE VERSION VERIFYTRAN | sort | tr '\n' ' ')
[ "$names" = "$expected_names" ] || fail "export names are [$names], expected [$expected_names]"

base=$(printf '%s\n' "$dump" | awk '/Ordinal Base/ {print $3}')
count=$(printf '%s\n' "$dump" | awk '/Number in:/ {getline; print $NF; exit}' )
[ "$base" = 2 ] || fail "ordinal base is $base, expected 2"

# Ordinal of each name, from the export address table ("[   k] +base[  o] ..." or the plain form).
declare -A want=([PAY]=2 [REPRINT]=3 [OPEN]=4 [GETSTATUS]=5 [DAYCLOSE]=6 [GETTOTALS]=7 [CLOSE]=8 [VERSION]=9 [VERIFYTRAN]=10)
while read -r ordinal name; do
  [ -n "$name" ] || continue
  [ "${want[$name]:-}" = "$ordinal" ] || fail "$name has ordinal $ordinal, expected ${want[$name]:-none}"
done < <(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^\s*\[' | \
  sed -E 's/^\s*\[\s*([0-9]+)\]\s*(\+base\[\s*([0-9]+)\]\s*[0-9a-fx]*\s*)?(\S+)$/\1 \3 \4/' | \
  awk -v base="$base" '{ if (NF == 3) print $2, $3; else print $1 + base, $2 }')

imports=$(printf '%s\n' "$dump" | awk '/DLL Name:/ {print toupper($3)}' | sort -u | tr '\n' ' ')
allowed=" ADVAPI32.DLL BCRYPT.DLL COMCTL32.DLL COMDLG32.DLL CRYPT32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL \
NTDLL.DLL OLE32.DLL OLEAUT32.DLL SHELL32.DLL SHLWAPI.DLL USER32.DLL VERSION.DLL WINHTTP.DLL WINSPOOL.DRV \
WS2_32.DLL WSOCK32.DLL IPHLPAPI.DLL SECUR32.DLL RPCRT4.DLL UCRTBASE.DLL "
for dll in $imports; do
  case "$allowed" in *" $dll "*) ;; *) fail "imports $dll, which is not a system DLL" ;; esac
done
echo "exports: $names(base $base); imports: $imports"

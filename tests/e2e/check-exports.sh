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

base=$(printf '%s\n' "$dump" | awk '/^Ordinal Base/ {print $3}')
[ "$base" = 2 ] || fail "ordinal base is [$base], expected 2"

# Every entry of the export address table ("[   k] +base[   o] rva ..."): no export by ordinal only.
entries=$(printf '%s\n' "$dump" | grep -cE '^\s*\[\s*[0-9]+\] \+base\[' || true)
[ "$entries" = 9 ] || fail "the export address table has $entries entries, expected 9"

# The name table ("[   k] NAME", k being the ordinal less the base), as "ordinal name" lines.
table=$(printf '%s\n' "$dump" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | \
  sed -nE 's/^\s*\[\s*([0-9]+)\]\s+(\S+)$/\1 \2/p' | awk -v base="$base" '{print $1 + base, $2}' | sort -n)
expected_table=$(printf '%s\n' "2 PAY" "3 REPRINT" "4 OPEN" "5 GETSTATUS" "6 DAYCLOSE" "7 GETTOTALS" "8 CLOSE" \
  "9 VERSION" "10 VERIFYTRAN")
[ "$table" = "$expected_table" ] || fail "exports are [$(echo $table)], expected [$(echo $expected_table)]"

imports=$(printf '%s\n' "$dump" | awk '/DLL Name:/ {print toupper($3)}' | sort -u | tr '\n' ' ')
allowed=" ADVAPI32.DLL BCRYPT.DLL COMCTL32.DLL COMDLG32.DLL CRYPT32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL \
NTDLL.DLL OLE32.DLL OLEAUT32.DLL SHELL32.DLL SHLWAPI.DLL USER32.DLL VERSION.DLL WINHTTP.DLL WINSPOOL.DRV \
WS2_32.DLL WSOCK32.DLL IPHLPAPI.DLL SECUR32.DLL RPCRT4.DLL UCRTBASE.DLL "
for dll in $imports; do
  case "$allowed" in *" $dll "*) ;; *) fail "imports $dll, which is not a system DLL" ;; esac
done
echo "exports: $(echo $table); imports: $imports"

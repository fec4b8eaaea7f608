#!/usr/bin/env bash
# check-pe.sh OBJDUMP FORMAT FILE KIND "SYSTEM DLLS" [EXPORT ...]
# Fails unless FILE is a PE of objdump's FORMAT (pei-i386 for 32-bit x86,
# pei-x86-64 for x64) and of KIND (dll or gui), exports exactly the names
# given, and imports nothing but the listed system DLLs. OBJDUMP is MinGW's
# objdump for that architecture.
set -euo pipefail
objdump=$1 format=$2 file=$3 kind=$4 system=$5
shift 5
fail=0

header=$("$objdump" -f "$file")
grep -q "file format $format\$" <<<"$header" || { echo "not a $format file: $file"; grep 'file format' <<<"$header"; fail=1; }
private=$("$objdump" -p "$file")
case $kind in
  dll) grep -q 'DLL' <<<"$(grep -A8 '^Characteristics' <<<"$private")" || { echo "not a DLL"; fail=1; } ;;
  gui) grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$private" || { echo "not a GUI program"; fail=1; } ;;
  *) echo "unknown kind $kind"; exit 2 ;;
esac

imports=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$private" | sort -u)
echo "imports: $(tr '\n' ' ' <<<"$imports")"
for dll in $imports; do
  case " ${system//;/ } " in
    *" $dll "*) ;;
    *) echo "imports a DLL that Windows does not provide: $dll"; fail=1 ;;
  esac
done

exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && /^[[:space:]]*\[/ {print $NF; next} on {on=0}' <<<"$private" | sort)
wanted=$(printf '%s\n' "$@" | sed '/^$/d' | sort)
echo "exports: $(tr '\n' ' ' <<<"$exports")"
if [ "$exports" != "$wanted" ]; then
  echo "exports differ from: $(tr '\n' ' ' <<<"$wanted")"
  fail=1
fi
exit $fail

#!/usr/bin/env bash
# check-pe.sh FILE KIND "SYSTEM DLLS" [EXPORT ...]
# Fails unless FILE is a 32-bit x86 PE of KIND (dll or gui), exports exactly the
# names given, and imports nothing but the listed system DLLs.
set -euo pipefail
file=$1 kind=$2 system=$3
shift 3
objdump=i686-w64-mingw32-objdump
fail=0

header=$($objdump -f "$file")
grep -q 'file format pei-i386' <<<"$header" || { echo "not a PE32 i386 file: $file"; fail=1; }
private=$($objdump -p "$file")
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

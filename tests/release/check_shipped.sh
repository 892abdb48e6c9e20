#!/usr/bin/env bash
# The shipped 32-bit program, checked on the file itself (this machine cannot
# run it): a PE32 GUI program for Intel 386 that Windows 95 and NT 4.0 load,
# importing only what both provide, with its resources, built reproducibly.
#
#   check_shipped.sh SOURCE_DIR SHIPPED_EXE
set -u
source_dir=$1
exe=$2
allowed="$source_dir/tests/release/old-windows-imports.txt"
failures=0
check() { # description, then a command that must succeed
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

[ -f "$exe" ] || { echo "FAILED: no $exe (build the win32 preset first)"; exit 1; }
headers=$(i686-w64-mingw32-objdump -p "$exe")
field() { awk -v name="$1" '$1 == name { print $2; exit }' <<<"$headers"; }

check "PE32 for Intel 386" grep -q 'file format pei-i386' <<<"$headers"
check "32-bit optional header (magic 010b)" test "$(field Magic)" = 010b
check "GUI subsystem" test "$(field Subsystem)" = 00000002
check "operating-system version 4.0 or lower" test "$(field MajorOSystemVersion)" -le 4
check "subsystem version 4.0 or lower" test "$(field MajorSubsystemVersion)" -le 4
check "no link time in the header" grep -q 'Time/Date.*1970' <<<"$headers"

imports=$(awk '/DLL Name:/ { dll = $3 } /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $3 }' <<<"$headers")
dlls=$(cut -d' ' -f1 <<<"$imports" | sort -u | tr '\n' ' ')
check "imports from KERNEL32, USER32, GDI32, ADVAPI32 and msvcrt only (has: $dlls)" \
    test -z "$(cut -d' ' -f1 <<<"$imports" | sort -u | grep -v -x -E 'KERNEL32.dll|USER32.dll|GDI32.dll|ADVAPI32.dll|msvcrt.dll')"
unlisted=$(while read -r dll function; do
    grep -q -E "^$dll +$function( |$)" "$allowed" || echo "$dll $function"
done <<<"$imports")
check "every import on the list of functions Windows 95 and NT 4.0 provide${unlisted:+ (not listed: $(tr '\n' ' ' <<<"$unlisted"))}" \
    test -z "$unlisted"
check "the plain time and localtime" grep -q -x 'msvcrt.dll time' <<<"$imports"
check "localtime imported" grep -q -x 'msvcrt.dll localtime' <<<"$imports"
check "no 32/64-bit-suffixed time functions" test -z "$(grep -E '_time64|_localtime64|_time32|_localtime32' <<<"$imports")"

resources=$(wrestool -l "$exe")
check "icon group 101" grep -q -- '--type=14 --name=101 ' <<<"$resources"
icons=$(wrestool -x --type=14 --name=101 "$exe" | icotool -l - 2>/dev/null)
check "icon group 101 holds exactly a 32 x 32 and a 16 x 16 image, 4 bits per pixel" test \
    "$(sed -E 's/.*--width=([0-9]+) --height=([0-9]+) --bit-depth=([0-9]+).*/\1x\2x\3/' <<<"$icons" | sort | tr '\n' ' ')" = "16x16x4 32x32x4 "
check "a version resource" grep -q -- '--type=16 ' <<<"$resources"
check "the version names the product" grep -q 'Varnel' < <(wrestool -x --raw --type=16 "$exe" | tr -d '\0')

# Two clean builds of these sources, in folders of different names, give the
# same bytes, and the same as the file checked above.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for build in one two; do
    cmake -S "$source_dir" -B "$scratch/$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_TESTS=OFF \
        --toolchain "$source_dir/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null &&
        cmake --build "$scratch/$build" --target varnel >/dev/null || echo "FAILED: building in $scratch/$build"
done
check "two clean builds are byte-identical" cmp -s "$scratch/one/varnel.exe" "$scratch/two/varnel.exe"
check "and identical to $exe" cmp -s "$scratch/one/varnel.exe" "$exe"

[ $failures = 0 ]

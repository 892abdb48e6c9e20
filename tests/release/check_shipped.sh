#!/usr/bin/env bash
# The shipped 32-bit program, checked on the file itself: a small PE32 GUI
# program that Windows 95 and NT 4.0 load, with no instruction newer than the
# 386's, importing only what both provide, with its resources and version,
# built reproducibly, and its release zip and SHA256SUMS likewise.
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
size=$(stat -c %s "$exe")
check "at most 8,192 bytes (has $size)" test "$size" -le 8192
check "file alignment 512, section alignment 4,096, as Windows 95's loader needs" \
    test "$(field FileAlignment)" = 00000200 -a "$(field SectionAlignment)" = 00001000
check "the headers in one 512-byte block" test "$(field SizeOfHeaders)" = 00000200

# The section table as the loader reads it: name, relative address and
# characteristics of each (cmake/varnel.ld lays it out).
sections=$(python3 - "$exe" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
pe = struct.unpack_from('<I', data, 0x3C)[0]
count, optional = struct.unpack_from('<H', data, pe + 6)[0], struct.unpack_from('<H', data, pe + 20)[0]
for i in range(count):
    name, _, rva = struct.unpack_from('<8sII', data, pe + 24 + optional + 40 * i)
    flags = struct.unpack_from('<I', data, pe + 24 + optional + 40 * i + 36)[0]
    print(name.rstrip(b'\0').decode(), '%08x' % rva, '%08x' % flags)
PY
)
names=$(awk '{ print $1 }' <<<"$sections" | tr '\n' ' ')
check "three sections, .text .idata .rsrc (has: $names)" test "$names" = ".text .idata .rsrc "
section_flags() { awk -v name="$1" '$1 == name { print $3 }' <<<"$sections"; }
check ".text: code, executed and read, not written" test "$(section_flags .text)" = 60000020
check ".idata: data, read and written, not executed" test "$(section_flags .idata)" = c0000040
check ".rsrc: data, not executed" test $(( 0x$(section_flags .rsrc) & 0x20000060 )) = $(( 0x40 ))
# Virus scanners distrust a section both written and executed.
both=$(while read -r name _ flags; do
    (( (0x$flags & 0xA0000000) == 0xA0000000 )) && echo "$name"
done <<<"$sections")
check "no section both written and executed${both:+ (has: $both)}" test -z "$both"

# Instructions the 386 lacks, as objdump names them: those of the 486
# (bswap, cmpxchg, xadd), the Pentium (cmpxchg8b, rdtsc, cpuid), the
# Pentium Pro (cmov, fcmov, fcomi, fucomi, the long nop) and MMX or SSE.
newer_than_386() { # FILE: prints each such instruction found
    i686-w64-mingw32-objdump -d "$1" | awk -F'\t' 'NF >= 3 { print $3 }' |
        grep -E '^(cmov|fcmov|fcomi|fucomi|nopw|nopl|rdtsc|cpuid|cmpxchg|bswap|xadd|emms)|%[xy]?mm[0-9]'
}
found=$(newer_than_386 "$exe" | sort | uniq -c | tr -s ' \n' ' ')
check "no instruction newer than the 386${found:+ (has:$found)}" test -z "$found"
# The scan itself: it finds each kind in a file that has one, and nothing in
# a file of 386 code.
probe=$(mktemp -d)
for instruction in 'cmove %eax,%ebx' 'fcmovb %st(1),%st' 'fucomip %st(1),%st' 'nopl 0(%eax)' 'rdtsc' \
                   'cpuid' 'cmpxchg8b (%eax)' 'bswap %eax' 'cmpxchg %ebx,(%eax)' 'xadd %eax,(%ebx)' \
                   'movd %eax,%mm0' 'movaps %xmm0,%xmm1'; do
    printf '.text\npush %%ebp\n%s\nret\n' "$instruction" | i686-w64-mingw32-as -o "$probe/one.o" -
    check "the scan finds $instruction" test -n "$(newer_than_386 "$probe/one.o")"
done
printf '.text\npush %%ebp\nmov %%esp,%%ebp\nimul %%ecx,%%eax\nrep stosl\nleave\nret $16\n' |
    i686-w64-mingw32-as -o "$probe/plain.o" -
check "the scan finds nothing in 386 code" test -z "$(newer_than_386 "$probe/plain.o")"
rm -rf "$probe"

imports=$(awk '/DLL Name:/ { dll = $3 } /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $3 }' <<<"$headers")
dlls=$(cut -d' ' -f1 <<<"$imports" | sort -u | tr '\n' ' ')
# The import directory names the descriptors alone, one a DLL and the one
# that ends the list, at the start of .idata.
directory=$(awk '$1 == "Entry" && $2 == "1" { print $3, $4 }' <<<"$headers")
dll_count=$(wc -w <<<"$dlls")
check "the import directory names the $dll_count descriptors and their terminator at the start of .idata (has: $directory)" \
    test "$directory" = "$(awk '$1 == ".idata" { print $2 }' <<<"$sections") $(printf %08x $(( 20 * (dll_count + 1) )))"
check "imports from KERNEL32, USER32, GDI32, ADVAPI32 and msvcrt only (has: $dlls)" \
    test -z "$(cut -d' ' -f1 <<<"$imports" | sort -u | grep -v -x -E 'KERNEL32.dll|USER32.dll|GDI32.dll|ADVAPI32.dll|msvcrt.dll')"
unlisted=$(while read -r dll function; do
    grep -q -E "^$dll +$function( |$)" "$allowed" || echo "$dll $function"
done <<<"$imports")
check "every import ($(grep -c . <<<"$imports")) on the list of functions Windows 95 and NT 4.0 provide${unlisted:+ (not listed: $(tr '\n' ' ' <<<"$unlisted"))}" \
    test -z "$unlisted"
# Windows 95 (and NT 4.0, for the first) would refuse to load a file that
# imports one of these.
for function in SetThreadExecutionState CreateWaitableTimerA SetWaitableTimer CancelWaitableTimer; do
    check "$function looked up at run time, not imported" test -z "$(grep -w $function <<<"$imports")"
done
runtime=$(grep '^msvcrt.dll ' <<<"$imports" | cut -d' ' -f2 | sort | tr '\n' ' ')
check "from msvcrt.dll only the plain time and localtime, exit, memset, memcpy (has: $runtime)" \
    test -z "$(grep '^msvcrt.dll ' <<<"$imports" | grep -v -x -E 'msvcrt.dll (time|localtime|exit|memset|memcpy)')"
check "the plain time and localtime imported" test "$(grep -c -x -E 'msvcrt.dll (time|localtime)' <<<"$imports")" = 2

resources=$(wrestool -l "$exe")
check "icon group 101" grep -q -- '--type=14 --name=101 ' <<<"$resources"
icons=$(wrestool -x --type=14 --name=101 "$exe" | icotool -l - 2>/dev/null)
check "icon group 101 holds exactly a 32 x 32 and a 16 x 16 image, 4 bits per pixel" test \
    "$(sed -E 's/.*--width=([0-9]+) --height=([0-9]+) --bit-depth=([0-9]+).*/\1x\2x\3/' <<<"$icons" | sort | tr '\n' ' ')" = "16x16x4 32x32x4 "
check "a version resource" grep -q -- '--type=16 ' <<<"$resources"
check "the version names the product" grep -q 'Varnel' < <(wrestool -x --raw --type=16 "$exe" | tr -d '\0')
# The version is written in CMakeLists.txt alone; the file's properties, the
# zip's name (below), the README and the guide's newest change follow it.
version=$(sed -n -E 's/^project\(Varnel VERSION ([0-9]+\.[0-9]+\.[0-9]+) .*/\1/p' "$source_dir/CMakeLists.txt")
check "the file's properties give version $version" grep -q -F "$version" < <(wrestool -x --raw --type=16 "$exe" | tr -d '\0')
readme_zips=$(grep -o -E 'varnel-[0-9.]+-win32\.zip' "$source_dir/README.md" | sort -u | tr '\n' ' ')
check "the README names the zip of version $version (has: $readme_zips)" test "$readme_zips" = "varnel-$version-win32.zip "
newest=$(awk '/^Changes$/ { changes = 1 } changes && /^[0-9]+\.[0-9]+\.[0-9]+$/ { print; exit }' "$source_dir/docs/readme.txt")
check "the guide's newest change is version $version (has: $newest)" test "$newest" = "$version"

# Two clean builds of these sources, in folders of different names, give the
# same bytes, and the same as the file checked above; so do their releases.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for build in one two; do
    cmake -S "$source_dir" -B "$scratch/$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_TESTS=OFF \
        --toolchain "$source_dir/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null &&
        cmake --build "$scratch/$build" --target varnel release >/dev/null || echo "FAILED: building in $scratch/$build"
done
check "two clean builds are byte-identical" cmp -s "$scratch/one/varnel.exe" "$scratch/two/varnel.exe"
check "and identical to $exe" cmp -s "$scratch/one/varnel.exe" "$exe"
zips=("$scratch"/one/varnel-*-win32.zip)
check "two clean builds make byte-identical release zips" cmp -s "${zips[0]}" "$scratch/two/$(basename "${zips[0]}")"
# The entries carry the date of the commit built (in UTC, to the zip's two
# seconds), or the fixed date outside a git checkout.
stamp=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null) || stamp=
if [ -n "$stamp" ]; then
    expected=$(TZ=UTC date -d "@$((stamp / 2 * 2))" +%Y%m%d.%H%M%S)
    dates=$(unzip -Z -T "${zips[0]}" | awk '/^-/ { print $7 }' | sort -u | tr '\n' ' ')
    check "the release's files carry the commit's date, $expected (have: $dates)" test "$dates" = "$expected "
fi
check "the release zip is named for version $version" test "$(basename "${zips[0]}")" = "varnel-$version-win32.zip"
# Beside the zip, SHA256SUMS: the program's and the zip's, named without
# folders, as sha256sum -c reads them, the same from both builds.
sums=$scratch/one/SHA256SUMS
named=$(awk '{ print $2 }' "$sums" 2>/dev/null | tr '\n' ' ')
check "SHA256SUMS names varnel.exe and $(basename "${zips[0]}") (has: $named)" \
    test "$named" = "varnel.exe $(basename "${zips[0]}") "
check "SHA256SUMS holds the SHA-256 of the files beside it" \
    bash -c 'cd "$(dirname "$1")" && sha256sum --quiet --strict -c SHA256SUMS' sums "$sums"
check "its varnel.exe line is the shipped file's" \
    grep -q -x "$(sha256sum <"$exe" | cut -d' ' -f1)  varnel.exe" "$sums"
check "two clean builds write the same SHA256SUMS" cmp -s "$sums" "$scratch/two/SHA256SUMS"
listing=$(unzip -Z1 "${zips[0]}" 2>/dev/null | tr '\n' ' ')
check "the release holds varnel.exe and readme.txt (has: $listing)" test "$listing" = "varnel.exe readme.txt "
check "its varnel.exe is the shipped file" cmp -s <(unzip -p "${zips[0]}" varnel.exe) "$exe"
unzip -p "${zips[0]}" readme.txt >"$scratch/readme.txt"
lines=$(grep -c '' "$scratch/readme.txt")
check "its readme.txt: $lines lines, each ending in CR LF" test "$lines" -gt 50 -a "$(grep -c $'\r$' "$scratch/readme.txt")" = "$lines"
check "its readme.txt: plain ASCII, lines Notepad shows whole" \
    test -z "$(LC_ALL=C grep -n -E $'[^\t\r -~]|^.{77}' "$scratch/readme.txt")"

[ $failures = 0 ]

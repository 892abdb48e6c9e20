#!/usr/bin/env bash
# The shipped 32-bit programs, Varnel, the night check and last night,
# checked on the files themselves, and the documents beside them:
# - PE32 GUI programs for Intel 386 that Windows 95 and NT 4.0 load:
#   operating-system and subsystem version 4.0, relocations stripped, no
#   link time, Windows 95's alignments, three sections (code; data with the
#   imports; resources), none both written and executed; each header check
#   shown failing on a copy with its field changed;
# - no instruction newer than the 386's (no CMOV, 486 or Pentium
#   instructions, MMX or SSE), the scan shown finding each kind;
# - imports from KERNEL32, USER32, GDI32, ADVAPI32 and msvcrt.dll only those
#   on old-windows-imports.txt, each with its source; the functions Windows
#   95 or NT 4.0 lack looked up instead; the import check shown failing on a
#   copy that imports one;
# - their sizes, their icon and their version resource;
# - two clean builds, their release zips and SHA256SUMS byte-identical, the
#   sums true, the entries dated with the commit, and the version the same
#   in CMakeLists.txt, the files, the zip's name, README.md and the guide's
#   newest "Changes" entry;
# - the guide as packed: CR LF, plain ASCII, lines Notepad shows whole; the
#   guide at most 300 lines and README.md at most 130, the check shown
#   failing on copies one line longer.
#
#   check_shipped.sh SOURCE_DIR BUILD_DIR
set -u
source_dir=$1
build_dir=$2
allowed="$source_dir/tests/release/old-windows-imports.txt"
failures=0
check() { # description, then a command that must succeed
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
refused() { # description, then a command that must fail: a check shown to catch what it is for
    local what=$1
    shift
    if ! "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# What the loader reads of a file, from its headers (FILE NAME: the field
# objdump -p prints under that name).
field() { i686-w64-mingw32-objdump -p "$1" | awk -v name="$2" '$1 == name { print $2; exit }'; }
os_version_4_0() { test "$(field "$1" MajorOSystemVersion).$(field "$1" MinorOSystemVersion)" = 4.0; }
subsystem_version_4_0() { test "$(field "$1" MajorSubsystemVersion).$(field "$1" MinorSubsystemVersion)" = 4.0; }
# The file header's flag "relocations stripped" (0x0001): the file loads at
# its base address or not at all, for it carries no relocations.
relocations_stripped() { (( 0x$(field "$1" Characteristics | sed 's/^0x//') & 0x0001 )); }
# A copy of FILE with one header field rewritten: OFFSET from the start of
# the PE signature, SIZE bytes, VALUE.
with_field() { # FILE OFFSET SIZE VALUE COPY
    python3 - "$@" <<'PY'
import struct, sys
path, offset, size, value, copy = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4], 0), sys.argv[5]
data = bytearray(open(path, 'rb').read())
pe = struct.unpack_from('<I', data, 0x3C)[0]
struct.pack_into({2: '<H', 4: '<I'}[size], data, pe + offset, value)
open(copy, 'wb').write(data)
PY
}
# Where those fields are: the file header's characteristics, and in the
# optional header the minor operating-system and subsystem versions.
CHARACTERISTICS=22 MINOR_OS_VERSION=66 MINOR_SUBSYSTEM_VERSION=74

# Instructions the 386 lacks, as objdump names them: those of the 486
# (bswap, cmpxchg, xadd), the Pentium (cmpxchg8b, rdtsc, cpuid), the
# Pentium Pro (cmov, fcmov, fcomi, fucomi, the long nop) and MMX or SSE.
newer_than_386() { # FILE: prints each such instruction found
    i686-w64-mingw32-objdump -d "$1" | awk -F'\t' 'NF >= 3 { print $3 }' |
        grep -E '^(cmov|fcmov|fcomi|fucomi|nopw|nopl|rdtsc|cpuid|cmpxchg|bswap|xadd|emms)|%[xy]?mm[0-9]'
}
imports_of() { # FILE: "DLL FUNCTION", one import a line
    i686-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ { dll = $3 } /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $3 }'
}
unlisted_imports() { # FILE: prints each import not on the list of what Windows 95 and NT 4.0 provide
    local dll function
    while read -r dll function; do
        [ -n "$dll" ] || continue
        grep -q -E "^$dll +$function( |$)" "$allowed" || echo "$dll $function"
    done < <(imports_of "$1")
}
# Functions that Windows 95 or NT 4.0 lack, looked up as the programs run;
# either would refuse to load a file that imports one. Windows 95 has the
# event log's only as stubs that fail.
LOOKED_UP="SetThreadExecutionState CreateWaitableTimerA SetWaitableTimer CancelWaitableTimer GetSystemPowerStatus
           OpenEventLogA ReadEventLogA CloseEventLog QueryFullProcessImageNameA"

check_program() { # FILE MAX_BYTES MSVCRT_FUNCTIONS: the checks every shipped program passes
    local exe=$1 most=$2 runtime=$3 name
    name=$(basename "$exe")
    [ -f "$exe" ] || { echo "FAILED: no $exe (build the win32 preset first)"; failures=$((failures + 1)); return; }
    local headers
    headers=$(i686-w64-mingw32-objdump -p "$exe")
    check "$name: PE32 for Intel 386" grep -q 'file format pei-i386' <<<"$headers"
    check "$name: 32-bit optional header (magic 010b)" test "$(field "$exe" Magic)" = 010b
    check "$name: GUI subsystem" test "$(field "$exe" Subsystem)" = 00000002
    check "$name: operating-system version 4.0" os_version_4_0 "$exe"
    check "$name: subsystem version 4.0" subsystem_version_4_0 "$exe"
    check "$name: relocations stripped, in the file header" relocations_stripped "$exe"
    check "$name: no link time in the header" grep -q 'Time/Date.*1970' <<<"$headers"
    local size
    size=$(stat -c %s "$exe")
    check "$name: at most $most bytes (has $size)" test "$size" -le "$most"
    check "$name: file alignment 512, section alignment 4,096, as Windows 95's loader needs" \
        test "$(field "$exe" FileAlignment)" = 00000200 -a "$(field "$exe" SectionAlignment)" = 00001000
    check "$name: the headers in one 512-byte block" test "$(field "$exe" SizeOfHeaders)" = 00000200

    # The section table as the loader reads it: name, relative address and
    # characteristics of each (cmake/varnel.ld lays it out).
    local sections names both
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
    check "$name: three sections, .text .idata .rsrc (has: $names)" test "$names" = ".text .idata .rsrc "
    section_flags() { awk -v name="$1" '$1 == name { print $3 }' <<<"$sections"; }
    check "$name: .text: code, executed and read, not written" test "$(section_flags .text)" = 60000020
    check "$name: .idata: data, read and written, not executed" test "$(section_flags .idata)" = c0000040
    check "$name: .rsrc: data, not executed" test $(( 0x$(section_flags .rsrc) & 0x20000060 )) = $(( 0x40 ))
    # Virus scanners distrust a section both written and executed.
    both=$(while read -r section _ flags; do
        (( (0x$flags & 0xA0000000) == 0xA0000000 )) && echo "$section"
    done <<<"$sections")
    check "$name: no section both written and executed${both:+ (has: $both)}" test -z "$both"

    local found
    found=$(newer_than_386 "$exe" | sort | uniq -c | tr -s ' \n' ' ')
    check "$name: no instruction newer than the 386${found:+ (has:$found)}" test -z "$found"

    local imports dlls directory dll_count unlisted function
    imports=$(imports_of "$exe")
    dlls=$(cut -d' ' -f1 <<<"$imports" | sort -u | tr '\n' ' ')
    # The import directory names the descriptors alone, one a DLL and the
    # one that ends the list, at the start of .idata.
    directory=$(awk '$1 == "Entry" && $2 == "1" { print $3, $4 }' <<<"$headers")
    dll_count=$(wc -w <<<"$dlls")
    check "$name: the import directory names the $dll_count descriptors and their terminator at the start of .idata (has: $directory)" \
        test "$directory" = "$(awk '$1 == ".idata" { print $2 }' <<<"$sections") $(printf %08x $(( 20 * (dll_count + 1) )))"
    check "$name: imports from KERNEL32, USER32, GDI32, ADVAPI32 and msvcrt only (has: $dlls)" \
        test -z "$(cut -d' ' -f1 <<<"$imports" | sort -u | grep -v -x -E 'KERNEL32.dll|USER32.dll|GDI32.dll|ADVAPI32.dll|msvcrt.dll')"
    unlisted=$(unlisted_imports "$exe")
    check "$name: every import ($(grep -c . <<<"$imports")) on the list of functions Windows 95 and NT 4.0 provide${unlisted:+ (not listed: $(tr '\n' ' ' <<<"$unlisted"))}" \
        test -z "$unlisted"
    for function in $LOOKED_UP; do
        check "$name: $function looked up at run time, if at all, not imported" test -z "$(grep -w "$function" <<<"$imports")"
    done
    check "$name: from msvcrt.dll only $runtime (has: $(grep '^msvcrt.dll ' <<<"$imports" | cut -d' ' -f2 | tr '\n' ' '))" \
        test -z "$(grep '^msvcrt.dll ' <<<"$imports" | cut -d' ' -f2 | grep -v -x -F -f <(tr ' ' '\n' <<<"$runtime"))"

    local resources icons
    resources=$(wrestool -l "$exe")
    check "$name: icon group 101" grep -q -- '--type=14 --name=101 ' <<<"$resources"
    icons=$(wrestool -x --type=14 --name=101 "$exe" | icotool -l - 2>/dev/null)
    check "$name: icon group 101 holds exactly a 32 x 32 and a 16 x 16 image, 4 bits per pixel" test \
        "$(sed -E 's/.*--width=([0-9]+) --height=([0-9]+) --bit-depth=([0-9]+).*/\1x\2x\3/' <<<"$icons" | sort | tr '\n' ' ')" = "16x16x4 32x32x4 "
    check "$name: a version resource" grep -q -- '--type=16 ' <<<"$resources"
    check "$name: the version names the product and the file" \
        grep -q "Varnel.*$name" < <(wrestool -x --raw --type=16 "$exe" | tr -d '\0' | tr '\n' ' ')
    check "$name: the file's properties give version $version" \
        grep -q -F "$version" < <(wrestool -x --raw --type=16 "$exe" | tr -d '\0')
}

# The version is written in CMakeLists.txt alone; the files' properties, the
# zip's name (below), the README and the guide's newest change follow it.
version=$(sed -n -E 's/^project\(Varnel VERSION ([0-9]+\.[0-9]+\.[0-9]+) .*/\1/p' "$source_dir/CMakeLists.txt")
check_program "$build_dir/varnel.exe" 8192 "time localtime exit memset memcpy"
check "varnel.exe: the plain time and localtime imported" \
    test "$(imports_of "$build_dir/varnel.exe" | grep -c -x -E 'msvcrt.dll (time|localtime)')" = 2
check_program "$build_dir/nightcheck.exe" 20480 "exit memset memcpy"
check_program "$build_dir/lastnight.exe" 16384 "exit memset memcpy memmove localtime"

# The checks themselves. The instruction scan finds each kind in a file that
# has one, and nothing in a file of 386 code.
for instruction in 'cmove %eax,%ebx' 'fcmovb %st(1),%st' 'fucomip %st(1),%st' 'nopl 0(%eax)' 'rdtsc' \
                   'cpuid' 'cmpxchg8b (%eax)' 'bswap %eax' 'cmpxchg %ebx,(%eax)' 'xadd %eax,(%ebx)' \
                   'movd %eax,%mm0' 'movaps %xmm0,%xmm1'; do
    printf '.text\npush %%ebp\n%s\nret\n' "$instruction" | i686-w64-mingw32-as -o "$scratch/one.o" -
    check "the scan finds $instruction" test -n "$(newer_than_386 "$scratch/one.o")"
done
printf '.text\npush %%ebp\nmov %%esp,%%ebp\nimul %%ecx,%%eax\nrep stosl\nleave\nret $16\n' |
    i686-w64-mingw32-as -o "$scratch/plain.o" -
check "the scan finds nothing in 386 code" test -z "$(newer_than_386 "$scratch/plain.o")"
# Each header check fails on a copy of the file with its field changed.
for exe in "$build_dir/varnel.exe" "$build_dir/nightcheck.exe" "$build_dir/lastnight.exe"; do
    name=$(basename "$exe")
    with_field "$exe" $MINOR_OS_VERSION 2 1 "$scratch/$name.os41"
    refused "the check fails on $name with operating-system version 4.1" os_version_4_0 "$scratch/$name.os41"
    with_field "$exe" $MINOR_SUBSYSTEM_VERSION 2 10 "$scratch/$name.sub410"
    refused "the check fails on $name with subsystem version 4.10" subsystem_version_4_0 "$scratch/$name.sub410"
    flags=$(( 0x$(field "$exe" Characteristics | sed 's/^0x//') & ~1 ))
    with_field "$exe" $CHARACTERISTICS 2 $flags "$scratch/$name.relocatable"
    refused "the check fails on $name without the flag relocations stripped" \
        relocations_stripped "$scratch/$name.relocatable"
done

# The import check fails on a copy of a program that imports a function NT
# 4.0 lacks: one of its imports of the same DLL renamed in place.
lacking() { # PROGRAM IMPORT LACKING: the program, with IMPORT renamed LACKING
    python3 - "$build_dir/$1" "$scratch/lacking-$1" "$2" "$3" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
name, lacking = sys.argv[3].encode() + b'\0', sys.argv[4].encode() + b'\0'
open(sys.argv[2], 'wb').write(data.replace(name, lacking.ljust(len(name), b'\0'), 1))
PY
    check "a copy of $1 that imports $3 has it among its imports" \
        grep -q -x "KERNEL32.dll $3" < <(imports_of "$scratch/lacking-$1")
    check "and the import check fails on it" grep -q -x "KERNEL32.dll $3" < <(unlisted_imports "$scratch/lacking-$1")
}
lacking nightcheck.exe GetPrivateProfileStringA GetSystemPowerStatus
lacking lastnight.exe GetSystemDirectoryA GetFileSizeEx

# Two clean builds of these sources, in folders of different names, give the
# same bytes, and the same as the files checked above; so do their releases.
for build in one two; do
    cmake -S "$source_dir" -B "$scratch/$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_TESTS=OFF \
        --toolchain "$source_dir/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null &&
        cmake --build "$scratch/$build" --target varnel nightcheck lastnight release >/dev/null ||
        echo "FAILED: building in $scratch/$build"
done
for name in varnel.exe nightcheck.exe lastnight.exe; do
    check "two clean builds of $name are byte-identical" cmp -s "$scratch/one/$name" "$scratch/two/$name"
    check "and identical to $build_dir/$name" cmp -s "$scratch/one/$name" "$build_dir/$name"
done
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
readme_zips=$(grep -o -E 'varnel-[0-9.]+-win32\.zip' "$source_dir/README.md" | sort -u | tr '\n' ' ')
check "the README names the zip of version $version (has: $readme_zips)" test "$readme_zips" = "varnel-$version-win32.zip "
newest=$(awk '/^Changes$/ { changes = 1 } changes && /^[0-9]+\.[0-9]+\.[0-9]+$/ { print; exit }' "$source_dir/docs/readme.txt")
check "the guide's newest change is version $version (has: $newest)" test "$newest" = "$version"
# Beside the zip, SHA256SUMS: the programs' and the zip's, named without
# folders, as sha256sum -c reads them, the same from both builds.
sums=$scratch/one/SHA256SUMS
named=$(awk '{ print $2 }' "$sums" 2>/dev/null | tr '\n' ' ')
check "SHA256SUMS names the three programs and $(basename "${zips[0]}") (has: $named)" \
    test "$named" = "varnel.exe nightcheck.exe lastnight.exe $(basename "${zips[0]}") "
check "SHA256SUMS holds the SHA-256 of the files beside it" \
    bash -c 'cd "$(dirname "$1")" && sha256sum --quiet --strict -c SHA256SUMS' sums "$sums"
check "two clean builds write the same SHA256SUMS" cmp -s "$sums" "$scratch/two/SHA256SUMS"
listing=$(unzip -Z1 "${zips[0]}" 2>/dev/null | tr '\n' ' ')
check "the release holds the three programs and readme.txt (has: $listing)" \
    test "$listing" = "varnel.exe nightcheck.exe lastnight.exe readme.txt "
for name in varnel.exe nightcheck.exe lastnight.exe; do
    check "its $name line in SHA256SUMS is the shipped file's" \
        grep -q -x "$(sha256sum <"$build_dir/$name" | cut -d' ' -f1)  $name" "$sums"
    check "its $name is the shipped file" cmp -s <(unzip -p "${zips[0]}" "$name") "$build_dir/$name"
done
unzip -p "${zips[0]}" readme.txt >"$scratch/readme.txt"
lines=$(grep -c '' "$scratch/readme.txt")
check "its readme.txt: $lines lines, each ending in CR LF" test "$lines" -gt 50 -a "$(grep -c $'\r$' "$scratch/readme.txt")" = "$lines"
check "its readme.txt: plain ASCII, lines Notepad shows whole" \
    test -z "$(LC_ALL=C grep -n -E $'[^\t\r -~]|^.{77}' "$scratch/readme.txt")"

# The documents stay short enough to read through: the README for a
# developer new to the code, the guide for a user new to Varnel.
within() { test "$(grep -c '' "$1")" -le "$2"; } # FILE MOST_LINES
for document in "README.md 130" "docs/readme.txt 300"; do
    read -r name most <<<"$document"
    check "$name: at most $most lines (has $(grep -c '' "$source_dir/$name"))" within "$source_dir/$name" "$most"
    { cat "$source_dir/$name"; yes '' | head -n $((most + 1 - $(grep -c '' "$source_dir/$name"))); } >"$scratch/long"
    refused "the check fails on a copy of $name of $((most + 1)) lines" within "$scratch/long" "$most"
done

[ $failures = 0 ]

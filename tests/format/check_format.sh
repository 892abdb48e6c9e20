#!/usr/bin/env bash
# The C++ of the program, its tests and the stand-ins is laid out as
# .clang-format says, by Debian 12's clang-format-14, called by name: another
# version lays some lines out otherwise, and the verdict must not change
# with the machine.
#
#   check_format.sh SOURCE_DIR
set -u
cd "$1" || exit 1
formatter=clang-format-14
if ! command -v $formatter >/dev/null; then
    echo "FAILED: no $formatter (tools/install-deps installs it)"
    exit 1
fi
files=$(find src tests tools/standins -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) | sort)
failures=0
for file in $files; do
    if ! $formatter --dry-run --Werror "$file" 2>/dev/null; then
        echo "FAILED: $file is laid out otherwise ($formatter -i $file lays it out):"
        diff -u "$file" <($formatter "$file") | sed -n '3,40p'
        failures=$((failures + 1))
    fi
done
echo "$(wc -w <<<"$files") files checked, $failures laid out otherwise"
[ $failures = 0 ]

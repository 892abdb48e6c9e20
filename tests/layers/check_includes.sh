#!/usr/bin/env bash
# The program's layers include one way only: src/ui above src/job above
# src/schedule and src/actions; a lower layer never includes a higher one.
#
#   check_includes.sh SOURCE_DIR
set -u
source_dir=$1

# LAYER: the folders its files may include from.
may_include() {
    case $1 in
    schedule) echo "schedule" ;;
    actions) echo "actions" ;;
    job) echo "job schedule actions" ;;
    ui) echo "ui job schedule actions res" ;;
    esac
}

wrong_includes() { # SRC_DIR: prints each include that runs upwards
    local layer file folder
    for layer in schedule actions job ui; do
        for file in "$1/$layer"/*.cpp "$1/$layer"/*.h; do
            [ -f "$file" ] || continue
            for folder in $(sed -n -E 's@^#include "([A-Za-z_]+)/.*@\1@p' "$file"); do
                case " $(may_include "$layer") " in
                *" $folder "*) ;;
                *) echo "${file#"$1"/} includes from $folder" ;;
                esac
            done
        done
    done
}

failures=0
wrong=$(wrong_includes "$source_dir/src")
if [ -z "$wrong" ]; then
    echo "ok: every include runs downwards"
else
    echo "FAILED: includes that run upwards:"
    sed 's/^/    /' <<<"$wrong"
    failures=1
fi

# The check itself: a copy of the sources in which a lower file includes the
# window's header fails it.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for lower in schedule/schedule.cpp job/tick.cpp actions/recorder.h; do
    rm -rf "$scratch/src"
    cp -r "$source_dir/src" "$scratch/src"
    sed -i '1a #include "ui/paint.h"' "$scratch/src/$lower"
    if [ -n "$(wrong_includes "$scratch/src")" ]; then
        echo "ok: the check fails when $lower includes src/ui"
    else
        echo "FAILED: the check passed with $lower including src/ui"
        failures=1
    fi
done
[ $failures = 0 ]

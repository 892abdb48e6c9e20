#!/usr/bin/env bash
# The program's layers include one way only: src/ui above src/job above
# src/schedule and src/actions; a lower layer never includes a higher one.
# The companions stand beside them, each on what they share
# (src/companion), which includes from nothing else: the night check
# (src/nightcheck) also includes from the outside actions and, of the
# window, only the header that names its class; last night (src/lastnight)
# only the header that names the recorder's. Nothing includes from either
# companion.
#
#   check_includes.sh SOURCE_DIR
set -u
source_dir=$1

# LAYER: the folders, or single headers, its files may include from.
may_include() {
    case $1 in
    schedule) echo "schedule" ;;
    actions) echo "actions" ;;
    job) echo "job schedule actions" ;;
    ui) echo "ui job schedule actions res" ;;
    companion) echo "companion" ;;
    nightcheck) echo "nightcheck companion actions ui/main_window.h" ;;
    lastnight) echo "lastnight companion actions/recorder.h" ;;
    esac
}

wrong_includes() { # SRC_DIR: prints each include that runs upwards, or sideways
    local layer file path
    for layer in schedule actions job ui companion nightcheck lastnight; do
        for file in "$1/$layer"/*.cpp "$1/$layer"/*.h; do
            [ -f "$file" ] || continue
            for path in $(sed -n -E 's@^#include "([A-Za-z_]+/[^"]*)".*@\1@p' "$file"); do
                case " $(may_include "$layer") " in
                *" ${path%%/*} "* | *" $path "*) ;;
                *) echo "${file#"$1"/} includes $path" ;;
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
    echo "FAILED: includes that run upwards or sideways:"
    sed 's/^/    /' <<<"$wrong"
    failures=1
fi

# The check itself: a copy of the sources in which a file includes what its
# layer may not fails it.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for case in "schedule/schedule.cpp ui/paint.h" "job/tick.cpp ui/paint.h" "actions/recorder.h ui/paint.h" \
    "nightcheck/windows_open.cpp ui/paint.h" "nightcheck/power.cpp job/job.h" \
    "ui/main_window.cpp nightcheck/report.h" "actions/encoders.cpp nightcheck/checks.h" \
    "nightcheck/report.cpp lastnight/night.h" "companion/box_text.cpp lastnight/night.h" \
    "lastnight/records.cpp actions/lookup.h" "companion/box_text.cpp nightcheck/report.h"; do
    read -r lower header <<<"$case"
    rm -rf "$scratch/src"
    cp -r "$source_dir/src" "$scratch/src"
    sed -i "1a #include \"$header\"" "$scratch/src/$lower"
    if [ -n "$(wrong_includes "$scratch/src")" ]; then
        echo "ok: the check fails when $lower includes $header"
    else
        echo "FAILED: the check passed with $lower including $header"
        failures=1
    fi
done
[ $failures = 0 ]

#!/usr/bin/env bash
# The shutdown request, for real under Wine, as each Windows family: the probe
# runs in a throwaway prefix (a request ends every process of its prefix)
# with Wine reporting the version named, and Wine's relay log shows the calls.
#
#   shutdown_families.sh PROBE_EXE STATE_DIR
set -eu
probe=$1
state=$2
here=$(cd "$(dirname "$0")/../.." && pwd)
wine_run="$here/tools/wine-run"

rm -rf "$state"
mkdir -p "$state"
trap '"$wine_run" "$state" --stop; rm -rf "$state"' EXIT
eval "$("$wine_run" "$state" --env)"
WINE=/usr/lib/wine/wine64
watched='GetVersionExA;OpenProcessToken;LookupPrivilegeValueA;AdjustTokenPrivileges;ExitWindowsEx'
"$WINE" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d "$watched" /f >/dev/null

failures=0
# family  Wine's version  expected flags (hex)  token calls expected
while read -r family version flags token; do
    program="probe-$version.exe"
    cp "$probe" "$state/$program"
    "$WINE" reg add "HKCU\\Software\\Wine\\AppDefaults\\$program" /v Version /d "$version" /f >/dev/null
    /usr/lib/wine/wineserver -w

    log="$state/$version.relay"
    WINEDEBUG=+relay timeout 60 "$WINE" "$state/$program" 2>"$log" >/dev/null || true
    # The request goes on ending the prefix's processes after the probe returns.
    /usr/lib/wine/wineserver -w
    # The probe's own calls: those that return into the probe's code.
    calls=$(grep -E '^[0-9a-f]+:Call (KERNEL32|kernel32|advapi32|user32)\.' "$log" |
            grep -E 'GetVersionExA|OpenProcessToken\(ffffffffffffffff,00000028|LookupPrivilegeValueA|AdjustTokenPrivileges|ExitWindowsEx' |
            sed -E 's/^[0-9a-f]+:Call [A-Za-z0-9]+\.([A-Za-z]+)\(([^)]*)\).*/\1(\2)/')
    exits=$(grep -c "^ExitWindowsEx($flags,00000000)" <<<"$calls" || true)
    all_exits=$(grep -c '^ExitWindowsEx' <<<"$calls" || true)
    tokens=$(grep -c -E '^(OpenProcessToken|LookupPrivilegeValueA|AdjustTokenPrivileges)' <<<"$calls" || true)
    order=$(grep -v '^GetVersionExA' <<<"$calls" | sed -E 's/\(.*//' | tr '\n' ' ')

    ok=1
    [ "$exits" = 1 ] && [ "$all_exits" = 1 ] || ok=0
    if [ "$token" = yes ]; then
        [ "$order" = "OpenProcessToken LookupPrivilegeValueA AdjustTokenPrivileges ExitWindowsEx " ] || ok=0
    else
        [ "$tokens" = 0 ] || ok=0
    fi
    if [ $ok = 1 ]; then
        echo "ok: $family ($version): ExitWindowsEx($flags), token calls: $token"
    else
        echo "FAILED: $family ($version): expected one ExitWindowsEx($flags), token calls: $token; the probe's calls were:"
        sed 's/^/    /' <<<"$calls"
        failures=$((failures + 1))
    fi
done <<'ROWS'
95-family win95 00000005 no
95-family win98 00000005 no
NT-family nt40 0000000c yes
NT-family winxp 0000000c yes
ROWS

[ $failures = 0 ]

#!/bin/sh
# Checks that a build of the shell is a static, stripped GUI executable for its processor:
# PE32 for the 32-bit release (x86), PE32+ for the 64-bit build (x64). Of the system DLLs it
# imports none but these: the multimedia library is loaded only when a movie is to play. The
# per-monitor DPI functions are looked up at run time, never imported, so that the release
# starts on systems without them; its manifest declares the DPI awareness.
#   check_executable.sh EXE x86|x64
exe=$1
fail() { echo "check_executable: $*" >&2; exit 1; }
case $2 in
    x86) format='PE32 executable (GUI) Intel 80386'; objdump=i686-w64-mingw32-objdump ;;
    x64) format='PE32+ executable (GUI) x86-64'; objdump=x86_64-w64-mingw32-objdump ;;
    *) fail "usage: check_executable.sh EXE x86|x64" ;;
esac
[ -f "$exe" ] || fail "$exe is missing"
file "$exe" | grep -q "$format" || fail "not a $format file: $(file "$exe")"
dump=$($objdump -p "$exe") || fail "objdump failed"
echo "$dump" | grep -q '^Subsystem.*00000002' || fail "subsystem is not GUI"
dlls=$(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u)
for dll in $dlls; do
    case $dll in
        KERNEL32.DLL|USER32.DLL|GDI32.DLL|ADVAPI32.DLL|MSVCRT.DLL) ;;
        *) fail "imports $dll" ;;
    esac
done
functions=$(echo "$dump" | grep -o -E '(GetDpiFor|SetProcessDpiAware|SetThreadDpiAware|GetSystemMetricsForDpi|AdjustWindowRectExForDpi|EnableNonClientDpiScaling)[A-Za-z]*' | sort -u)
[ -z "$functions" ] || fail "imports $(echo $functions)"
grep -q -a 'true/pm</dpiAware>' "$exe" || fail "no per-monitor dpiAware in the manifest"
grep -q -a '>PerMonitorV2, PerMonitor</dpiAwareness>' "$exe" || fail "no dpiAwareness in the manifest"
$objdump -t "$exe" 2>&1 | grep -q 'no symbols' || fail "not stripped"
echo "$2: $(file -b "$exe" | cut -d, -f1); imports: $(echo $dlls)"

#!/bin/sh
# Checks that the shell is a static, stripped 32-bit GUI executable. Of the system DLLs it
# imports none but these: the multimedia library is loaded only when a movie is to play.
exe=$1
fail() { echo "check_executable: $*" >&2; exit 1; }
file "$exe" | grep -q 'PE32 executable (GUI) Intel 80386' || fail "not a PE32 GUI i386 file: $(file "$exe")"
dump=$(i686-w64-mingw32-objdump -p "$exe") || fail "objdump failed"
echo "$dump" | grep -q '^Subsystem.*00000002' || fail "subsystem is not GUI"
dlls=$(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u)
for dll in $dlls; do
    case $dll in
        KERNEL32.DLL|USER32.DLL|GDI32.DLL|ADVAPI32.DLL|MSVCRT.DLL) ;;
        *) fail "imports $dll" ;;
    esac
done
i686-w64-mingw32-objdump -t "$exe" 2>&1 | grep -q 'no symbols' || fail "not stripped"
echo "imports: $(echo $dlls)"

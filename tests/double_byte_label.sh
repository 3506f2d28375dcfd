#!/bin/sh
# The disc search in a double-byte code page: in a Wine session of its own, whose drive F: carries
# a label of 32 Japanese characters (64 bytes in code page 932), disc_search_test's label test
# runs in Japanese. Wine reads a label once for the session of its server, and decodes the label
# file in the locale that the server started in: the server is started afresh, in Japanese.
#   double_byte_label.sh SOURCE_DIR TEST_EXE STATE_DIR
set -e
root=$1
exe=$2
export PINBALL_WINE_STATE=$3
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
trap '"$root/scripts/wine-stop"' EXIT INT TERM
# The first run makes the session's prefix and its drives.
"$root/scripts/wine-run" cmd /c exit
"$root/scripts/wine-stop"
printf '%s\n' 'ピンボール台ディスク二番目ピンボール台ディスク二番目ピンボール台' \
    > "$PINBALL_WINE_STATE/cdrom2/.windows-label"
PINBALL_DOUBLE_BYTE_LABEL=1 "$root/scripts/wine-run" "$exe" --gtest_filter='DiscSurvey.*DoubleByte*'

#!/bin/sh
# Checks the manual pages as their readers will see them: mandoc's lint at
# warning level, and man's own formatter (with its warnings on) at 80
# columns, where no line may run past the edge.
# Usage: man_lint.sh MANDOC PAGE...
set -u
mandoc=$1
shift
fail=0
for page in "$@"; do
    lint=$("$mandoc" -T lint -W warning "$page" 2>&1)
    if [ -n "$lint" ]; then
        echo "$lint"
        fail=1
    fi
    if command -v man >/dev/null 2>&1; then
        err=$(MANWIDTH=80 MAN_DISABLE_SECCOMP=1 man --warnings -P cat -l "$page" 2>&1 >/dev/null)
        if [ -n "$err" ]; then
            echo "$page: man -l: $err"
            fail=1
        fi
        # In the C locale every column is one byte, so awk counts columns.
        wide=$(LC_ALL=C MANWIDTH=80 MAN_DISABLE_SECCOMP=1 man -P cat -l "$page" 2>/dev/null |
               awk 'length($0) > 80 { print NR": "$0 }')
        if [ -n "$wide" ]; then
            echo "$page: lines wider than 80 columns:"
            echo "$wide"
            fail=1
        fi
    fi
done
exit "$fail"

#!/bin/bash
# Sources the completion and completes command lines as bash would, in a
# folder holding one file of each kind.
# Usage: completion_test.sh COMPLETION
set -u
source "$1" || exit 1
work=$(mktemp -d "${TMPDIR:-/tmp}/xncompletion-XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir sub
touch sys.cfi OLD.CFI vt.tdi pr.pti merge.ini notes.txt sub/in.tdi

# Completes the words given, the last being the one under the cursor, and
# prints the sorted candidates on one line.
complete_line() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _xnconfig xnconfig "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

fail=0
check() { # check EXPECTED WORD...
    local want=$1 got
    shift
    got=$(complete_line "$@")
    if [[ $got != "$want" ]]; then
        echo "xnconfig ${*:2}: got \"$got\", want \"$want\""
        fail=1
    fi
}

check "vt100 vt102 vt220 vt320 vt420 vt52"  xnconfig -T vt
check "xterm xterm-256color"                xnconfig -b -T xt
check "putty"                              xnconfig -T p   # terminals only, no printer
check "pcl"                                 xnconfig -P p
check "dotmatrix generic pcl"               xnconfig -P ''
check "UNIX Windows"                        xnconfig -O ''
check "sub/in.tdi"                          xnconfig -T sub/
check "merge.ini sub"                       xnconfig -b -L ''
check "OLD.CFI pr.pti sub sys.cfi vt.tdi"   xnconfig ''
check "OLD.CFI sub sys.cfi"                 xnconfig -b ''
check "OLD.CFI sub sys.cfi"                 xnconfig -qb ''
check "OLD.CFI sub sys.cfi"                 xnconfig -b -l ''
check "notes.txt"                          xnconfig -A n   # any file for the audit trail
check "-l"                                 xnconfig -b -l
check "-T"                                  xnconfig -T
check "--help"                              xnconfig --h
check ""                                    xnconfig -T nosuch
exit "$fail"

#!/bin/sh
# Every option the program's help lists is described in the manual page and
# offered by the completion.
# Usage: options_documented.sh XNCONFIG PAGE COMPLETION
set -u
xn=$1
page=$2
completion=$3
status=0
help=$("$xn" -h 2>/dev/null) || status=$?
[ "$status" = 7 ] || { echo "xnconfig -h ended with $status, not 7"; exit 1; }
# Option lines of the help start with two blanks and a hyphen; an option
# and its other spelling are separated by ", " ("-h, -?").
options=$(printf '%s\n' "$help" | sed -n 's/^  \(-[^ ,]*\(, -[^ ,]*\)*\).*/\1/p' |
          sed 's/, /\n/g; s/\[.*//')
[ -n "$options" ] || { echo "no options found in the help text"; exit 1; }
offered=$(sed -n "s/^_xnconfig_options='\(.*\)'$/\1/p" "$completion")
fail=0
for opt in $options; do
    roff=$(printf '%s' "$opt" | sed 's/-/\\-/g')
    grep -qF -e "$roff" "$page" || { echo "$page does not describe $opt"; fail=1; }
    case "$opt" in
    -\? | --) ;; # never offered: "-?" would glob, "--" ends the options
    *) case " $offered " in
       *" $opt "*) ;;
       *) echo "$completion does not offer $opt"; fail=1 ;;
       esac ;;
    esac
done
exit "$fail"

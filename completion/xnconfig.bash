# bash completion for xnconfig: options, terminal type names after -T,
# printer type names after -P, the target systems after -O, and files by
# the extensions each place takes. Needs nothing but bash itself.

# BEGIN generated: bash-names
_xnconfig_terminals='ansi vt100 vt102 vt220 vt320 vt52 xterm xterm-256color linux screen tmux ms-terminal ms-vt100-color cygwin putty rxvt dumb vt420 konsole gnome wy60 wy50 tvi925 ibm3151 sun'
_xnconfig_printers='generic pcl dotmatrix'
_xnconfig_targets='UNIX Windows'
# END generated
_xnconfig_options='-a -A -b -h -l -L -O -P -q -T --help --version'

# Files of the current word whose extension (in any case) is one of the
# given ones, and folders to go on into; no extension given: every file.
_xnconfig_files() {
    local cur=$1 f lower ext
    shift
    local IFS=$'\n'
    for f in $(compgen -f -- "$cur"); do
        if [[ -d $f ]]; then
            COMPREPLY+=("$f")
            continue
        fi
        (($# == 0)) && { COMPREPLY+=("$f"); continue; }
        lower=${f,,}
        for ext in "$@"; do
            [[ $lower == *."$ext" ]] && COMPREPLY+=("$f")
        done
    done
    # Quote the names as file names and add "/" to folders.
    compopt -o filenames 2>/dev/null
    return 0
}

# A name from a word list, or a file of the extension when the word is a
# path (-T ./my.tdi).
_xnconfig_names() {
    local cur=$1 words=$2 ext=$3
    if [[ $cur == */* ]]; then
        _xnconfig_files "$cur" "$ext"
    else
        local IFS=$' \t\n'
        COMPREPLY=($(compgen -W "$words" -- "$cur"))
    fi
}

_xnconfig() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()
    case $prev in
    -T) _xnconfig_names "$cur" "$_xnconfig_terminals" tdi; return 0 ;;
    -P) _xnconfig_names "$cur" "$_xnconfig_printers" pti; return 0 ;;
    -O)
        local IFS=$' \t\n'
        COMPREPLY=($(compgen -W "$_xnconfig_targets" -- "$cur"))
        return 0 ;;
    -L) _xnconfig_files "$cur" ini; return 0 ;;
    -A) _xnconfig_files "$cur"; return 0 ;;
    esac
    if [[ $cur == -* ]]; then
        local IFS=$' \t\n'
        COMPREPLY=($(compgen -W "$_xnconfig_options" -- "$cur"))
        return 0
    fi
    # The operand: in batch mode a system configuration or its folder, on
    # the screen any of the three kinds.
    local word
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        if [[ $word == -*b* && $word != --* && $word != -[AaLOPT]* ]]; then
            _xnconfig_files "$cur" cfi
            return 0
        fi
    done
    _xnconfig_files "$cur" cfi tdi pti
}
complete -F _xnconfig xnconfig

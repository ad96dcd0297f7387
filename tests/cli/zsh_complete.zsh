#!/usr/bin/zsh -f
# zsh_complete.zsh FUNCTION_DIR WORK_DIR LINE...: what zsh's completion offers
# when Tab is pressed at the end of each LINE, typed in WORK_DIR with the
# completion functions of FUNCTION_DIR. Prints the offers of each LINE, one a
# line, and then a line "--end--".
#
# An interactive zsh on a pseudo-terminal; compadd is wrapped to print what
# each call adds. The markers are printed split in two so that the terminal's
# echo of these commands never reads as one.
zmodload zsh/zpty
zpty shell zsh -f -i
zpty -w shell "PROMPT='' RPROMPT=''"
zpty -w shell "cd ${(q)2} && fpath=(${(q)1} \$fpath) && autoload -U compinit && compinit -u -D"
zpty -w shell 'compadd() {
    if ((${@[(I)-[OAD]]})); then builtin compadd "$@"; return; fi
    local -a added
    builtin compadd -A added "$@"
    local word
    for word in $added; do print -r -- "<of""fer>$word</of""fer>"; done
    builtin compadd "$@"
}'
zpty -w shell 'zstyle ":completion:*" menu no'
zpty -w shell 'end-of-offers() { print -r -- "<do""ne>"; zle kill-whole-line; zle accept-line }'
zpty -w shell 'zle -N end-of-offers; bindkey "^X" end-of-offers'
shift 2
local line
for typed in "$@"; do
    zpty -n -w shell "$typed"$'\t\x18'
    while zpty -r -t shell line || zpty -r shell line; do
        [[ $line == *'<done>'* ]] && break
        while [[ $line == *'<offer>'* ]]; do
            line=${line#*<offer>}
            print -r -- ${line%%</offer>*}
            line=${line#*</offer>}
        done
    done
    print -r -- --end--
done
zpty -d shell

# bash completion for mailvane-cli                          -*- shell-script -*-
# Kept beside the option tables of cli/*Command.cpp; the test suite checks
# that both name the same commands and options.

# The options of one command.
_mailvane_cli_options()
{
    case $1 in
        summary) echo "--rows --pin --security --shared --encoding --table" ;;
        encode) echo "--pin --format --to --rows --shared --encoding --security --imsi --table" ;;
        send) echo "--pin --to --to-file --rows --check-rows --skip-bad-rows --shared --encoding --security --imsi --phone --table --jobs --keep-going --log --resume --resend-uncertain --retries --stop-after --timeout --rate --dry-run" ;;
        contacts) echo "--phone" ;;
    esac
}

_mailvane_cli()
{
    local cur prev words cword split
    # "--name=value" is split, and "sim:DIR" stays one word.
    _init_completion -s -n : || return

    if ((cword == 1)); then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--help --version" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "check summary encode send contacts" -- "$cur"))
        fi
        return
    fi

    local command=${words[1]}
    local options
    options=" $(_mailvane_cli_options "$command") "
    # The value of an option; the switches take none.
    local switches=" --keep-going --check-rows --skip-bad-rows --resend-uncertain --dry-run --help "
    if [[ $prev == --* && $options == *" $prev "* && $switches != *" $prev "* ]]; then
        case $prev in
            --format)
                COMPREPLY=($(compgen -W "document wbxml push messages" -- "$cur"))
                ;;
            --table | --to-file | --rows | --log | --resume)
                _filedir
                ;;
            --security)
                COMPREPLY=($(compgen -W "userpin netwpin usernetwpin" -- "$cur"))
                ;;
            --encoding)
                COMPREPLY=($(compgen -W "utf-8 windows-1252 latin-1" -- "$cur"))
                ;;
            --phone)
                case $cur in
                    sim:*)
                        # The folder of a simulated phone.
                        local folder
                        while IFS= read -r folder; do
                            COMPREPLY+=("sim:$folder/")
                        done < <(compgen -d -- "${cur#sim:}")
                        compopt -o nospace
                        ;;
                    gammu:/*)
                        local device
                        while IFS= read -r device; do
                            [[ -d $device ]] && device+=/
                            COMPREPLY+=("gammu:$device")
                        done < <(compgen -f -- "${cur#gammu:}")
                        compopt -o nospace
                        ;;
                    *)
                        COMPREPLY=($(compgen -W "gammu gammu: gammu:/dev/ sim: kannel:http:// none" -- "$cur"))
                        [[ ${#COMPREPLY[@]} -eq 1 && $COMPREPLY == *[:/] ]] && compopt -o nospace
                        ;;
                esac
                __ltrim_colon_completions "$cur"
                ;;
        esac
        return
    fi
    [[ $split == true ]] && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
        return
    fi
    # The settings FILE of every command but contacts.
    [[ $command != contacts ]] && _filedir
} &&
    complete -F _mailvane_cli mailvane-cli

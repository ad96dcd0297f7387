#compdef mailvane-cli
# zsh completion for mailvane-cli. Kept beside the option tables of
# cli/*Command.cpp; the test suite checks that both name the same commands and
# options, and that files are offered where a file belongs.

# The PHONE forms: gammu, gammu:SECTION, gammu:DEVICE, sim:DIR, kannel:URL, none.
_mailvane_cli_phone()
{
    if compset -P 'sim:'; then
        _files -/
    elif compset -P 'gammu:'; then
        _files
    else
        compadd -S '' -- gammu: gammu:/dev/ sim: kannel:http://
        compadd -- gammu none
    fi
}

_mailvane-cli()
{
    if ((CURRENT == 2)); then
        if [[ $PREFIX == -* ]]; then
            compadd -- --help --version
        else
            compadd -- check summary encode send contacts
        fi
        return
    fi

    local -a descriptions
    case $words[2] in
    check)
        descriptions=(
            '1:settings file:_files'
        )
        ;;
    summary)
        descriptions=(
            '--rows=:TABLE:_files'
            '--pin=:PIN:'
            '--security=:METHOD:(userpin netwpin usernetwpin)'
            '--shared=:KEYS:'
            '--encoding=:NAME:(utf-8 windows-1252 latin-1)'
            '--table=:PATH:_files'
            '1:settings file:_files'
        )
        ;;
    encode)
        descriptions=(
            '--pin=:PIN:'
            '--format=:FORMAT:(document wbxml push messages)'
            '--to=:NUMBERS:'
            '--rows=:TABLE:_files'
            '--shared=:KEYS:'
            '--encoding=:NAME:(utf-8 windows-1252 latin-1)'
            '--security=:METHOD:(userpin netwpin usernetwpin)'
            '--imsi=:IMSI:'
            '--table=:PATH:_files'
            '1:settings file:_files'
        )
        ;;
    send)
        descriptions=(
            '--pin=:PIN:'
            '--to=:NUMBERS:'
            '--to-file=:LIST:_files'
            '--rows=:TABLE:_files'
            '--check-rows'
            '--skip-bad-rows'
            '--shared=:KEYS:'
            '--encoding=:NAME:(utf-8 windows-1252 latin-1)'
            '--security=:METHOD:(userpin netwpin usernetwpin)'
            '--imsi=:IMSI:'
            '--phone=:PHONE:_mailvane_cli_phone'
            '--table=:PATH:_files'
            '--jobs=:N:'
            '--keep-going'
            '--log=:FILE:_files'
            '--resume=:FILE:_files'
            '--resend-uncertain'
            '--retries=:N:'
            '--stop-after=:N:'
            '--timeout=:SECONDS:'
            '--rate=:N:'
            '--dry-run'
            '1:settings file:_files'
        )
        ;;
    contacts)
        descriptions=(
            '--phone=:PHONE:_mailvane_cli_phone'
        )
        ;;
    *)
        return 1
        ;;
    esac
    # The command's own words: its options and operand come after it.
    shift words
    ((CURRENT--))
    _arguments -S '--help' "${descriptions[@]}"
}

_mailvane-cli "$@"

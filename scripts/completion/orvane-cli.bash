# Bash completion of orvane-cli: its commands, each command's options, the
# values of those options, and build's NAME=@FILE. Installed as
# /usr/share/bash-completion/completions/orvane-cli.

_orvane_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=""
    (( COMP_CWORD > 0 )) && prev=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()

    # With '=' in COMP_WORDBREAKS, "--from=he" arrives as "--from" "=" "he".
    local option=""
    if [[ $cur == "=" ]]; then
        option=$prev
        cur=""
    elif [[ $prev == "=" ]] && (( COMP_CWORD > 1 )); then
        option=${COMP_WORDS[COMP_CWORD-2]}
    elif [[ $cur == --*=* ]]; then
        option=${cur%%=*}
        cur=${cur#*=}
    fi

    if (( COMP_CWORD == 1 )); then
        COMPREPLY=($(compgen -W "decode encode parse build help --version --help" -- "$cur"))
        return
    fi

    case ${COMP_WORDS[1]} in
    decode)
        case ${option:-$prev} in
        --names) # its value is optional, so only --names=VALUE takes one
            if [[ -n $option ]]; then
                COMPREPLY=($(compgen -W "en zh" -- "$cur"))
                return
            fi ;;
        --from)
            COMPREPLY=($(compgen -W "hex ascii-hex ebcdic-hex dump binary" -- "$cur"))
            return ;;
        -f | --file)
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
        --header | --sep)
            return ;;
        esac
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--names --names=en --names=zh --json --auto-first --file --from
                --message --header --sep --strict --quiet --help -n -j -a -f -q -h" -- "$cur"))
        fi
        ;;
    parse | build) # the same message options; --to takes --from's forms but dump
        case ${option:-$prev} in
        --names)
            if [[ -n $option ]]; then
                COMPREPLY=($(compgen -W "en zh" -- "$cur"))
                return
            fi ;;
        -s | --spec)
            COMPREPLY=($(compgen -W "iso87ascii iso87binary iso87ebcdic cup" -- "$cur") $(compgen -f -- "$cur"))
            return ;;
        --from)
            COMPREPLY=($(compgen -W "text hex dump binary" -- "$cur"))
            return ;;
        --to)
            COMPREPLY=($(compgen -W "text hex binary" -- "$cur"))
            return ;;
        --length-prefix)
            COMPREPLY=($(compgen -W "2 4 a4 none" -- "$cur"))
            return ;;
        -f | --file)
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
        --header | -F | --fields)
            return ;;
        esac
        if [[ $cur == -* && ${COMP_WORDS[1]} == parse ]]; then
            COMPREPLY=($(compgen -W "--spec --from --header --length-prefix --names --names=en --names=zh --json
                --fields --unmask --strict --file --quiet --help -s -n -j -F -f -q -h" -- "$cur"))
        elif [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--spec --to --header --length-prefix --pad --file --help -s -f -h" -- "$cur"))
        elif [[ $cur == @* && ${COMP_WORDS[1]} == build ]]; then # NAME=@FILE, which '=' splits: the file after the @
            COMPREPLY=($(compgen -f -- "${cur#@}"))
            COMPREPLY=("${COMPREPLY[@]/#/@}")
        fi
        ;;
    encode)
        [[ $cur == -* ]] && COMPREPLY=($(compgen -W "--auto-first --display --help -a -d -h" -- "$cur"))
        ;;
    help)
        (( COMP_CWORD == 2 )) && COMPREPLY=($(compgen -W "decode encode parse build" -- "$cur"))
        ;;
    esac
}
complete -F _orvane_cli orvane-cli

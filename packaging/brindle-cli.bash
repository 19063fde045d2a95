# bash completion for brindle-cli -*- shell-script -*-
# shellcheck disable=SC2207 # the words offered hold no blanks

_brindle_cli()
{
    local cur prev words cword
    _init_completion || return

    case $prev in
        --rule) COMPREPLY=($(compgen -W 'update keep ask' -- "$cur")); return ;;
        --country) COMPREPLY=($(compgen -W 'au us' -- "$cur")); return ;;
        --layout) COMPREPLY=($(compgen -W 'folders categories' -- "$cur")); return ;;
        --cards | --contacts | --seed | --password | --username | --wait) return ;;
        --password-command) COMPREPLY=($(compgen -c -- "$cur")); return ;;
        --options-file) _filedir; return ;;
    esac

    local command=${words[1]} options
    case $command in
        import | export) options='--rule --inactive --sync --dry-run --wait --options-file --help' ;;
        undo) options='--yes --dry-run --help' ;;
        carddav)
            if ((cword == 2)); then
                COMPREPLY=($(compgen -W 'setup sync' -- "$cur"))
                return
            fi
            [[ ${words[2]} == setup ]] && options='--username --password-command --help' ||
                options='--help'
            ;;
        options) options='--options-file --help' ;;
        sample)
            if ((cword == 2)); then
                COMPREPLY=($(compgen -W 'company contacts' -- "$cur"))
                return
            fi
            case ${words[2]} in
                company) options='--cards --country --seed --password --force --help' ;;
                contacts) options='--contacts --layout --seed --help' ;;
            esac
            ;;
        decode-log | settings | runs) options='--help' ;;
    esac

    if ((cword == 1)); then
        COMPREPLY=($(compgen -W 'import export options decode-log settings sample carddav runs undo
            --help --version' -- "$cur"))
    elif [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    else
        _filedir
    fi
} &&
    complete -F _brindle_cli brindle-cli

# ex: filetype=sh

# bash completion for lumarin-convert                      -*- shell-script -*-

_lumarin_convert()
{
    local cur prev words cword split
    _init_completion -s || return

    case $prev in
        -o | --output)
            _filedir
            return
            ;;
        --encoding)
            COMPREPLY=($(compgen -W '$("$1" --list-encodings 2>/dev/null | cut -d" " -f1)' -- "$cur"))
            return
            ;;
        -j | --jobs)
            COMPREPLY=($(compgen -W '0 1 2 4 8' -- "$cur"))
            return
            ;;
        --pairs)
            # FROM and TO are the user's own text.
            return
            ;;
    esac
    # The second argument of --pairs.
    if ((cword >= 3)) && [[ ${words[cword - 2]} == --pairs ]]; then
        return
    fi

    $split && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--in-place --output= --recursive --check --null
            --jobs= --default-table --pairs --encoding= --list-encodings --crlf
            --utf8-fallback --binary --verbose --help --version -i -o -r -0 -j -v
            -h -V' -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
        return
    fi

    _filedir
} &&
    complete -F _lumarin_convert lumarin-convert

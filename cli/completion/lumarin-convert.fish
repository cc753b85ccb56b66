# fish completion for lumarin-convert

function __lumarin_convert_encodings
    lumarin-convert --list-encodings 2>/dev/null | string split -f1 ' '
end

complete -c lumarin-convert -s i -l in-place -d 'Replace each file with its converted text'
complete -c lumarin-convert -s o -l output -r -F -d 'Write the converted text to a file'
complete -c lumarin-convert -s r -l recursive -d 'Convert the files below folders'
complete -c lumarin-convert -l check -d 'Convert nothing, list the files that would change'
complete -c lumarin-convert -s 0 -l null -d 'With --check, end each name with a NUL byte'
complete -c lumarin-convert -s j -l jobs -x -a '0 1 2 4 8' -d 'Files converted at once (0: one per core)'
complete -c lumarin-convert -l default-table -d 'The 66 pairs Lumarin starts with'
complete -c lumarin-convert -l pairs -x -d 'The table from two strings, FROM and TO'
complete -c lumarin-convert -l encoding -x -a '(__lumarin_convert_encodings)' -d 'Read and write the input in this encoding'
complete -c lumarin-convert -l list-encodings -d 'List the encodings and exit'
complete -c lumarin-convert -l crlf -d 'Write every line break as CR LF'
complete -c lumarin-convert -l utf8-fallback -d 'Write text the encoding cannot hold as UTF-8 with a BOM'
complete -c lumarin-convert -l binary -d 'Convert also files that look binary'
complete -c lumarin-convert -s v -l verbose -d 'Tell each file\'s encoding and replacements'
complete -c lumarin-convert -s h -l help -d 'Show the help and exit'
complete -c lumarin-convert -s V -l version -d 'Show the version and exit'

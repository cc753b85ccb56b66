#!/usr/bin/env bash
# The shell completion of lumarin-convert loads in each shell and offers what
# the program takes: bash (as bash-completion would source it), zsh (autoload
# from fpath) and fish (parsed, then asked). A shell that is not installed is
# skipped with its reason (status 77), never passed in silence.
#   doplnovani.sh COMPLETION_FOLDER PROGRAM_FOLDER SHELL
set -u
slozka=$1 program=$2 shell=$3
export PATH="$program:$PATH"
command -v "$shell" >/dev/null || { echo "SKIP: $shell is not installed (scripts/test installs it)"; exit 77; }
chyba() { echo "FAIL: $*"; exit 1; }
case $shell in
bash)
  radek=$(bash --norc -c "source '$slozka/lumarin-convert.bash' && complete -p lumarin-convert") ||
    chyba "bash could not load the completion"
  [ "$radek" = "complete -F _lumarin_convert lumarin-convert" ] || chyba "bash registered: $radek"
  if [ -r /usr/share/bash-completion/bash_completion ]; then
    nabidka=$(bash --norc -c "source /usr/share/bash-completion/bash_completion
      source '$slozka/lumarin-convert.bash'
      COMP_WORDS=(lumarin-convert --in); COMP_CWORD=1; COMP_LINE='lumarin-convert --in'; COMP_POINT=\${#COMP_LINE}
      _lumarin_convert lumarin-convert --in lumarin-convert; echo \"\${COMPREPLY[*]}\"
      COMP_WORDS=(lumarin-convert --encoding latin); COMP_CWORD=2; COMP_LINE='lumarin-convert --encoding latin'
      COMP_POINT=\${#COMP_LINE}; _lumarin_convert lumarin-convert latin --encoding; echo \"\${COMPREPLY[*]}\"
      COMP_WORDS=(lumarin-convert --encoding ISO-8859-); COMP_CWORD=2; COMP_LINE='lumarin-convert --encoding ISO-8859-'
      COMP_POINT=\${#COMP_LINE}; _lumarin_convert lumarin-convert ISO-8859- --encoding; echo \"\${COMPREPLY[*]}\"")
    [ "$(sed -n 1p <<<"$nabidka")" = "--in-place" ] || chyba "bash offered for --in: $(sed -n 1p <<<"$nabidka")"
    grep -qw 'ISO-8859-2' <<<"$(sed -n 3p <<<"$nabidka")" || chyba "bash offered no ISO-8859-2: $nabidka"
  fi
  ;;
zsh)
  zsh -fc "fpath=('$slozka' \$fpath); autoload -Uz _lumarin-convert && whence -w _lumarin-convert" |
    grep -q '_lumarin-convert: function' || chyba "zsh could not autoload _lumarin-convert"
  zsh -fn "$slozka/_lumarin-convert" || chyba "zsh found errors in _lumarin-convert"
  ;;
fish)
  fish -n "$slozka/lumarin-convert.fish" || chyba "fish found errors"
  nabidka=$(fish --no-config -c "source '$slozka/lumarin-convert.fish'; complete -C'lumarin-convert --in'") ||
    chyba "fish could not load the completion"
  grep -q '^--in-place' <<<"$nabidka" || chyba "fish offered for --in: $nabidka"
  nabidka=$(fish --no-config -c "source '$slozka/lumarin-convert.fish'; complete -C'lumarin-convert --encoding='")
  grep -q '^--encoding=ISO-8859-2' <<<"$nabidka" || chyba "fish offered no ISO-8859-2"
  ;;
*) chyba "unknown shell $shell" ;;
esac
echo "PASS: $shell"

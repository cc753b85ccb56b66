#!/usr/bin/env bash
# lumarin-convert against the tools a user would pick instead, on the same
# 200 MB of mixed Czech and English prose (about 8 % of the letters with
# diacritics, lines of about 60 characters), each writing its output to a
# file, with the page cache warm:
#
#   perl -CSD -Mutf8 -pe 'tr/…/…/'   the 66 default pairs
#   sed 'y/…/…/'                      the 66 default pairs
#   iconv -f UTF-8 -t ASCII//TRANSLIT
#   uconv -x Latin-ASCII              when it is installed (Debian's icu-devtools)
#
# and lumarin-convert on the same text in windows-1250 and with -o (the
# writer's temporary file, flushed to the disk, and rename), and cat, which only
# copies (the floor that reading and writing set). perl and sed have the
# converter's semantics on this text and must give its bytes exactly; iconv
# and uconv must leave no letter of the table. Prints a Markdown table: wall
# time (median of REPEAT runs), MB/s of input (MB = 10^6 bytes), peak
# resident memory, and the ratio of the fastest peer's time to ours.
#
#   bench/peers.sh [lumarin-convert] [work folder]
#
# Environment: REPEAT (runs of each tool, default 3), SIZE (bytes of text,
# default 200000000).

set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
program="${1:-$root/build/cli/lumarin-convert}"
work="${2:-${TMPDIR:-/tmp}/lumarin-peers}"
repeat="${REPEAT:-3}"
size="${SIZE:-200000000}"
[ -x "$program" ] || { echo "no lumarin-convert at $program (build it, or name it)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 2; }
mkdir -p "$work"
text="$work/text-$size.txt"
text1250="$work/text-$size-1250.txt"

z='ěéëšśčćřŕžźżýáâăäíîúůűüťďňńľĺóôőöĚÉËŠŚČĆŘŔŽŹŻÝÁÂĂÄÍÎÚŮŰÜŤĎŇŃĽĹÓÔŐÖ'
b='eeessccrrzzzyaaaaiiuuuutdnnllooooEEESSCCRRZZZYAAAAIIUUUUTDNNLLOOOO'

# The text: sentences drawn with a fixed seed, Czech about two times in five,
# words wrapped at 60 characters.
if [ ! -s "$text" ]; then
  perl - "$size" > "$text.tmp" <<'PERL'
use strict; use warnings;
my $target = shift;
my @cs = (
 "Příliš žluťoučký kůň úpěl ďábelské ódy.",
 "Večer jsme šli s dědečkem na procházku k řece, kde kvetly první sněženky.",
 "V roce 2024 vyšlo 1 356 nových knih; většina z nich byla určena dětem.",
 "Ťukání na dveře přerušilo Růženčino čtení: „Kdo je tam?“ zeptala se tiše.",
 "Program odstraní diakritiku, takže text půjde poslat i do starších systémů.",
 "Učitelka řekla, že úloha č. 7 je nepovinná, ale žáci ji přesto vyřešili.",
 "Na nádraží v Ústí nad Labem čekalo 42 cestujících na zpožděný vlak.",
 "Zítra bude pršet, a proto si vezměte deštník.",
);
my @en = (
 "The quick brown fox jumps over the lazy dog.",
 "Please send the report to the office before noon on Friday.",
 "Our team released version 3.0 of the converter last week.",
 "It was a bright cold day in April, and the clocks were striking thirteen.",
 "Most subtitles are plain text files with a number and a time on each cue.",
 "The meeting has been moved to the small room on the second floor.",
);
# Words as UTF-8 bytes with their length in characters.
my @vety = map { [ map { my $s = $_; utf8::decode($s); [$_, length $s] } split / / ] } (@cs, @en);
my $seed = 20261209;
sub nahoda { $seed = ($seed * 1103515245 + 12345) % 2147483648; return $seed >> 16; }
my ($bytes, $line, $len, $out) = (0, '', 0, '');
while ($bytes + length($out) < $target) {
  my $i = nahoda() % 100 < 42 ? nahoda() % @cs : @cs + nahoda() % @en;
  for my $w (@{$vety[$i]}) {
    if ($len && $len + $w->[1] + 1 > 60) { $out .= "$line\n"; ($line, $len) = @$w; }
    elsif ($len) { $line .= " $w->[0]"; $len += $w->[1] + 1; }
    else { ($line, $len) = @$w; }
  }
  if (length($out) > 1 << 20) { print $out; $bytes += length $out; $out = ''; }
}
print $out;
PERL
  mv "$text.tmp" "$text"
fi
[ -s "$text1250" ] || iconv -f UTF-8 -t WINDOWS-1250 "$text" > "$text1250"
bytes=$(stat -c %s "$text")
bytes1250=$(stat -c %s "$text1250")
share=$(head -c 5000000 "$text" | perl -CSD -Mutf8 -ne "\$l += () = /\\p{L}/g; \$d += () = /[$z]/g; END { printf '%.1f', 100 * \$d / \$l }")
lines=$(head -c 5000000 "$text" | perl -CSD -ne '$c += length($_) - 1; $n++; END { printf "%.0f", $c / $n }')

# Runs a command REPEAT times with a warm cache, the output to $work/out-NAME;
# prints the median wall time (from the shell's clock, finer than time's) and
# the largest peak resident set (KB).
run() {
  local name=$1 input=$2; shift 2
  local times=() rss=0 t m
  cat "$input" > /dev/null
  for ((k = 0; k < repeat; k++)); do
    rm -f "$work/out-$name"
    local od=$EPOCHREALTIME
    /usr/bin/time -f '%M' -o "$work/time-$name" "$@" < "$input" > "$work/out-$name" || true
    t=$(perl -e "printf '%.3f', $EPOCHREALTIME - $od")
    m=$(tail -n 1 "$work/time-$name")
    times+=("$t")
    (( m > rss )) && rss=$m
  done
  printf '%s %s\n' "$(printf '%s\n' "${times[@]}" | sort -g | sed -n "$(( (repeat + 1) / 2 ))p")" "$rss"
}

declare -A cas pamet vstup
row() {
  local name=$1 input=$2; shift 2
  read -r cas[$name] pamet[$name] < <(run "$name" "$input" "$@")
  vstup[$name]=$(stat -c %s "$input")
}

row lumarin "$text" "$program" --default-table
row lumarin-1250 "$text1250" "$program" --default-table
# File to file through the writer of -o and -i: a temporary file, flushed to
# the disk before it takes the output's name.
row lumarin-o "$text" "$program" --default-table -o "$work/out-lumarin-o.txt" "$text"
# Not a peer: the floor that reading and writing the file alone set.
row cat "$text" cat
row perl "$text" perl -CSD -Mutf8 -pe "tr/$z/$b/"
row iconv "$text" iconv -f UTF-8 -t ASCII//TRANSLIT
row sed "$text" sed "y/$z/$b/"
peers=(perl iconv sed)
if command -v uconv > /dev/null; then
  row uconv "$text" uconv -f UTF-8 -t UTF-8 -x Latin-ASCII
  peers+=(uconv)
fi

# Each tool really converted.
declare -A check
cmp -s "$work/out-perl" "$work/out-lumarin" && check[perl]=ok || check[perl]="DIFFERS from lumarin-convert"
cmp -s "$work/out-sed" "$work/out-lumarin" && check[sed]=ok || check[sed]="DIFFERS from lumarin-convert"
iconv -f WINDOWS-1250 -t UTF-8 "$work/out-lumarin-1250" | cmp -s - "$work/out-lumarin" && check[lumarin-1250]=ok \
  || check[lumarin-1250]="DIFFERS from the UTF-8 result"
perl -ne 'exit 1 if /[\x80-\xff]/' "$work/out-iconv" && check[iconv]="ok (ASCII only)" || check[iconv]="NOT ASCII"
cmp -s "$work/out-lumarin-o.txt" "$work/out-lumarin" && check[lumarin-o]="the same bytes, on the disk" \
  || check[lumarin-o]="DIFFERS from standard output"
check[lumarin]="ok ($(grep -c . "$work/out-lumarin") lines)"
cmp -s "$work/out-cat" "$text" && check[cat]="copies only: the floor of reading and writing" || check[cat]="DIFFERS"
if [ -n "${cas[uconv]:-}" ]; then
  perl -CSD -Mutf8 -ne "exit 1 if /[$z]/" "$work/out-uconv" && check[uconv]="ok (no letter of the table left)" \
    || check[uconv]="letters of the table LEFT"
fi

nejrychlejsi=""
for p in "${peers[@]}"; do
  if [ -z "$nejrychlejsi" ] || perl -e "exit !(${cas[$p]} < ${cas[$nejrychlejsi]})"; then nejrychlejsi=$p; fi
done

echo "Input: $(( bytes / 1000000 )) MB of UTF-8 ($share % of letters with diacritics, lines of $lines characters), $(( bytes1250 / 1000000 )) MB in windows-1250; median of $repeat runs, $(nproc) cores."
echo
echo "| tool | input | wall time | MB/s | peak memory | check |"
echo "|---|---|---|---|---|---|"
for n in lumarin lumarin-1250 lumarin-o "${peers[@]}" cat; do
  case $n in
    lumarin) what="lumarin-convert --default-table" ;;
    lumarin-o) what="lumarin-convert --default-table -o" ;;
    lumarin-1250) what="lumarin-convert --default-table" ;;
    perl) what="perl -CSD -Mutf8 -pe 'tr/…/…/'" ;;
    iconv) what="iconv -f UTF-8 -t ASCII//TRANSLIT" ;;
    sed) what="sed 'y/…/…/'" ;;
    uconv) what="uconv -x Latin-ASCII" ;;
    cat) what="cat" ;;
  esac
  enc=UTF-8; [ "$n" = lumarin-1250 ] && enc=windows-1250
  mbs=$(perl -e "printf '%.0f', ${vstup[$n]} / 1e6 / (${cas[$n]} > 0 ? ${cas[$n]} : 0.001)")
  echo "| \`$what\` | $enc | ${cas[$n]} s | $mbs | $(( ${pamet[$n]} / 1024 )) MB | ${check[$n]} |"
done
echo
perl -e "printf \"Fastest peer: %s, %.2f s; lumarin-convert %.2f s: %.1f times as fast.\n\", '$nejrychlejsi', ${cas[$nejrychlejsi]}, ${cas[lumarin]}, ${cas[$nejrychlejsi]} / (${cas[lumarin]} > 0 ? ${cas[lumarin]} : 0.001)"

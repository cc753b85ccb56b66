#!/usr/bin/env bash
# lumarin-convert -r -i on a folder of many small files: with one job (-j 1),
# with one job for each core (the default), and with one run of the program
# for each file, as many at once as there are cores:
#
#   find TREE -type f -print0 | xargs -0 -n 1 -P CORES lumarin-convert -i
#
# Every run starts from a fresh copy of the same tree (FILES files of SIZE
# bytes of Czech and English prose, in folders of 100), made and flushed to
# the disk before the clock starts, with the page cache warm; the three are
# taken in turn, REPEAT times, so that a change of the machine's load meets
# all three alike. Prints a Markdown table (with --check -r as well, which
# writes nothing and so shows the processor's share alone): the median wall
# time (from the shell's clock), the median CPU time (user + system, of the
# program and of every process it started), the files per second, and the
# ratios of the wall times; with the load average before and after, since
# the machine may be shared. Each run's result is compared with -j 1's.
#
#   bench/jobs.sh [lumarin-convert] [work folder]
#
# Environment: REPEAT (runs of each, default 5), FILES (default 2000), SIZE
# (bytes a file, default 100000).

set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
program="${1:-$root/build/cli/lumarin-convert}"
work="${2:-${TMPDIR:-/tmp}/lumarin-jobs}"
repeat="${REPEAT:-5}"
files="${FILES:-2000}"
size="${SIZE:-100000}"
cores=$(nproc)
program="$(realpath -e "$program" 2>/dev/null || echo "$program")"
[ -x "$program" ] || { echo "no lumarin-convert at $program (build it, or name it)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 2; }
mkdir -p "$work"
tree="$work/tree-$files-$size"

# The tree: each file its own stretch of sentences drawn with a fixed seed.
if [ ! -d "$tree" ]; then
  rm -rf "$tree.tmp"
  perl - "$tree.tmp" "$files" "$size" <<'PERL'
use strict; use warnings;
my ($dir, $files, $size) = @ARGV;
my @vety = (
 "Příliš žluťoučký kůň úpěl ďábelské ódy.",
 "Večer jsme šli s dědečkem na procházku k řece, kde kvetly první sněženky.",
 "Ťukání na dveře přerušilo Růženčino čtení: „Kdo je tam?“ zeptala se tiše.",
 "Učitelka řekla, že úloha č. 7 je nepovinná, ale žáci ji přesto vyřešili.",
 "The quick brown fox jumps over the lazy dog.",
 "Please send the report to the office before noon on Friday.",
 "It was a bright cold day in April, and the clocks were striking thirteen.",
);
my $seed = 20261211;
sub nahoda { $seed = ($seed * 1103515245 + 12345) % 2147483648; return $seed >> 16; }
mkdir $dir or die "$dir: $!";
for my $i (0 .. $files - 1) {
  my $sub = sprintf "%s/%03d", $dir, int($i / 100);
  -d $sub or mkdir $sub or die "$sub: $!";
  my $text = '';
  while (length($text) < $size) { $text .= $vety[nahoda() % @vety] . (nahoda() % 8 ? ' ' : "\n"); }
  open my $f, '>', sprintf("%s/%05d.txt", $sub, $i) or die $!;
  print $f substr($text, 0, $size);
  close $f;
}
PERL
  mv "$tree.tmp" "$tree"
fi

load() { cut -d ' ' -f 1-3 /proc/loadavg; }

# Appends the wall time since $2 and the CPU time that time(1) wrote (on its
# last line, after a note of a non-zero status) to $work/NAME.times.
times() {
  perl -e "printf '%.3f ', $EPOCHREALTIME - $2" >> "$work/$1.times"
  tail -n 1 "$work/time" | awk '{ printf "%.2f\n", $1 + $2 }' >> "$work/$1.times"
}

# One run of NAME: a fresh copy, then the command timed; wall and CPU seconds
# are appended to $work/NAME.times.
run() {
  local name=$1; shift
  rm -rf "$work/run"
  cp -r "$tree" "$work/run"
  # The copy's own writing reaches the disk before the clock starts, so that
  # no run waits for the copy before it.
  sync
  cat $(find "$work/run" -type f) > /dev/null
  local od=$EPOCHREALTIME
  (cd "$work" && /usr/bin/time -f '%U %S' -o "$work/time" "$@") > /dev/null 2> "$work/err-$name" \
    || { echo "$name failed:" >&2; cat "$work/err-$name" >&2; exit 1; }
  times "$name" "$od"
  # The converted tree, to compare with -j 1's.
  if [ "$name" = j1 ]; then
    rm -rf "$work/reference"
    mv "$work/run" "$work/reference"
  else
    diff -rq "$work/reference" "$work/run" > /dev/null || { echo "$name: not the files of -j 1" >&2; exit 1; }
  fi
}

# --check reads every file and writes nothing: the processor's share alone.
check() {
  local name=$1; shift
  local od=$EPOCHREALTIME
  (cd "$work" && /usr/bin/time -f '%U %S' -o "$work/time" "$program" --default-table --check -r "$@" \
    "$(basename "$tree")") > "$work/out-$name" 2> "$work/err-$name" || [ $? -eq 1 ] \
    || { echo "$name failed:" >&2; cat "$work/err-$name" >&2; exit 1; }
  times "$name" "$od"
  [ "$name" = c1 ] || cmp -s "$work/out-c1" "$work/out-$name" || { echo "$name: not the list of -j 1" >&2; exit 1; }
}

median() { sort -g | sed -n "$(( (repeat + 1) / 2 ))p"; }

rm -f "$work"/*.times
before=$(load)
for ((k = 0; k < repeat; k++)); do
  run j1 "$program" --default-table -r -i -j 1 run
  run jn "$program" --default-table -r -i run
  check c1 -j 1
  check cn
  run xargs sh -c "find run -type f -print0 | xargs -0 -n 1 -P $cores '$program' --default-table -i"
done
after=$(load)

declare -A wall cpu
for n in j1 jn xargs c1 cn; do
  wall[$n]=$(cut -d ' ' -f 1 "$work/$n.times" | median)
  cpu[$n]=$(cut -d ' ' -f 2 "$work/$n.times" | median)
done

echo "$files files of $size bytes below $(basename "$tree"), -r -i, median of $repeat runs; $cores cores; load average $before before, $after after."
echo
echo "| run | wall time | CPU time | files/s | wall time of its -j 1 / this |"
echo "|---|---|---|---|---|"
for n in j1 jn xargs c1 cn; do
  case $n in
    j1) what="lumarin-convert -r -i -j 1" ;;
    jn) what="lumarin-convert -r -i (-j $cores, the default)" ;;
    c1) what="lumarin-convert --check -r -j 1" ;;
    cn) what="lumarin-convert --check -r (-j $cores)" ;;
    xargs) what="find -print0 \\| xargs -0 -n 1 -P $cores lumarin-convert -i" ;;
  esac
  base=j1; [ "${n:0:1}" = c ] && base=c1
  perl -e "printf \"| \\\`%s\\\` | %.2f s | %.2f s | %.0f | %.2f |\n\", '$what', ${wall[$n]}, ${cpu[$n]}, $files / ${wall[$n]}, ${wall[$base]} / ${wall[$n]}"
done
echo
perl -e "printf \"-r -i: -j $cores is %.2f times as fast as -j 1 and %.2f times as fast as xargs -P $cores; --check -r: -j $cores is %.2f times as fast as -j 1 (CPU time %.2f s against %.2f s).\n\", ${wall[j1]} / ${wall[jn]}, ${wall[xargs]} / ${wall[jn]}, ${wall[c1]} / ${wall[cn]}, ${cpu[cn]}, ${cpu[c1]}"

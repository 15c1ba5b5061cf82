#!/usr/bin/env bash
# The sample outputs of README.md and of the guides in docs/ beside it are what their commands
# print. Every command a page shows with its output (a ```sh block of one line, followed, with only
# blank lines between, by a plain ``` block; an output in a ```text block is shown, not run) is
# run from the top of the tree as a reader runs it, and what it prints (stdout and stderr
# together) must match the sample line by line, allowing only:
#   - a line holding nothing but "..." in the sample: any number of lines, none included;
#   - "…" in the sample: any text without blanks (the part of an absolute path that depends on
#     where the tree is, e.g. /…/build/demo or Z:\…\build\try);
#   - a number before ms, s, KB, MB or bytes, and a date and time (2026-03-02 10:14): any other.
# Blanks at the ends of lines are ignored. So a changed output or a changed sample shows at once,
# whichever command a page gains or loses.
#   check_readme_samples.sh <README.md> [<command substring>]   (only the commands holding it)
# The commands run with a Wine prefix of their own (a persistent Wine server of the test run would
# keep scripts that wait for Wine from returning) and with the build folder the pages name.
set -uo pipefail
readme=$(realpath "$1")
only=${2:-}
tree=$(dirname "$readme")
root=$(mktemp -d "${TMPDIR:-/tmp}/songbeacon-readme-XXXXXX")
export WINEPREFIX="$root/wineprefix"
trap 'WINEPREFIX="$root/wineprefix" wineserver -k >/dev/null 2>&1; rm -rf "$root"' EXIT
unset SONGBEACON_BUILD_DIR

# The pages: README.md, then the guides in docs/ beside it.
pages=("$readme")
for page in "$tree"/docs/*.md; do
  [ -e "$page" ] && pages+=("$page")
done

# The pairs, as files: command-N (one line), sample-N, and page-N (the page and line it is on).
perl -CSD -Mutf8 -e '
  my ($out, $tree, @pages) = @ARGV;
  my $pairs = 0;
  for my $page (@pages) {
    open my $in, "<:encoding(UTF-8)", $page or die "cannot read $page\n";
    my @lines = <$in>;
    chomp @lines;
    my (@blocks, $current);
    for my $i (0 .. $#lines) {             # fenced blocks: info string, lines, first and last line
      my $line = $lines[$i];
      if (!$current && $line =~ /^```(\S*)\s*$/) { $current = { info => $1, body => [], first => $i }; next; }
      if ($current && $line =~ /^```\s*$/) { $current->{last} = $i; push @blocks, $current; undef $current; next; }
      push @{ $current->{body} }, $line if $current;
    }
    for my $b (0 .. $#blocks - 1) {
      my ($command, $sample) = @blocks[$b, $b + 1];
      next unless $command->{info} eq "sh" && @{ $command->{body} } == 1 && $sample->{info} eq "";
      next if grep { /\S/ } @lines[$command->{last} + 1 .. $sample->{first} - 1];
      $pairs++;
      open my $c, ">:encoding(UTF-8)", sprintf("%s/command-%03d", $out, $pairs) or die; print $c "$command->{body}[0]\n";
      open my $s, ">:encoding(UTF-8)", sprintf("%s/sample-%03d", $out, $pairs) or die; print $s map { "$_\n" } @{ $sample->{body} };
      open my $p, ">:encoding(UTF-8)", sprintf("%s/page-%03d", $out, $pairs) or die;
      print $p substr($page, length($tree) + 1), ":", $command->{first} + 1, "\n";
    }
  }
' "$root" "$tree" "${pages[@]}" || exit 2

fail=0 ran=0
for command_file in "$root"/command-*; do
  [ -e "$command_file" ] || break
  command=$(cat "$command_file")
  [[ $command == *"$only"* ]] || continue
  sample=${command_file/command-/sample-}
  echo "== $(cat "${command_file/command-/page-}"): $command"
  (cd "$tree" && bash -c "$command" </dev/null >"$sample.out" 2>&1)
  status=$?
  tr -d '\r' <"$sample.out" >"$sample.got"
  ran=$((ran + 1))
  if [ $status -ne 0 ]; then
    echo "FAILED: it exited with $status:" && cat "$sample.got" && fail=1 && continue
  fi
  # Line-by-line match with backtracking over the elisions, memoised; on failure, the sample line
  # that could not be matched and the output from where that attempt got furthest.
  perl -CSD -Mutf8 -e '
    my ($sample_file, $got_file) = @ARGV;
    sub lines { open my $f, "<:encoding(UTF-8)", $_[0] or die; my @l = map { s/\s+$//r } <$f>; return @l; }
    my @sample = lines($sample_file);
    my @got = lines($got_file);
    my $mask = qr/(…|\d+(?:\.\d+)? (?:ms|s|KB|MB|bytes)\b|\d{4}-\d\d-\d\d \d\d:\d\d)/;
    my @patterns = map {
      my $line = $_;
      if ($line =~ /^\s*(\.\.\.|…)$/) { undef }
      else {
        my $re = join "", map {
          if ($_ eq "…") { "\\S*" }
          elsif (/^\d+(?:\.\d+)? (ms|s|KB|MB|bytes)$/) { "\\d+(?:\\.\\d+)? $1" }
          elsif (/^\d{4}-\d\d-\d\d \d\d:\d\d$/) { "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d" }
          else { quotemeta }
        } grep { length } split $mask, $line;
        qr/^$re$/;
      }
    } @sample;
    my (%memo, $deepest_sample, $deepest_got);
    $deepest_sample = -1;
    sub matches {
      my ($i, $j) = @_;
      if ($i == @sample) {
        ($deepest_sample, $deepest_got) = ($i, $j) if $j < @got && $i > $deepest_sample;
        return $j == @got;
      }
      return $memo{"$i,$j"} if exists $memo{"$i,$j"};
      my $ok = 0;
      if (!defined $patterns[$i]) {
        for my $k ($j .. scalar @got) { if (matches($i + 1, $k)) { $ok = 1; last; } }
      } elsif ($j < @got && $got[$j] =~ $patterns[$i]) {
        $ok = matches($i + 1, $j + 1);
      } elsif ($i > $deepest_sample) {
        ($deepest_sample, $deepest_got) = ($i, $j);
      }
      return $memo{"$i,$j"} = $ok;
    }
    exit 0 if matches(0, 0);
    if ($deepest_sample == @sample) { print "the output goes on after the last line of the sample:\n"; }
    else { print "sample line ", $deepest_sample + 1, ":\n  $sample[$deepest_sample]\n"; }
    print "output from there:\n", map { "  $_\n" } grep { defined } @got[$deepest_got .. $deepest_got + 4];
    print "  (end of output)\n" if $deepest_got + 5 > @got;
    exit 1;
  ' "$sample" "$sample.got"
  if [ $? -eq 0 ]; then
    echo "ok: the output matches the page's sample"
  else
    echo "FAILED: the output differs from the page's sample (the whole output:)"
    sed 's/^/  | /' "$sample.got"
    fail=1
  fi
done
if [ $ran -eq 0 ]; then
  echo "FAILED: no command with a sample output found in ${pages[*]}${only:+ holding '$only'}"
  fail=1
fi
exit $fail

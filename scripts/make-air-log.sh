#!/usr/bin/env bash
# Writes an air log (docs/air-log.md) of a made-up station to stdout, for the benchmark of reading
# one and for trying the tool: a playlist (an extended M3U's titles and lengths, or a generated one:
# five entries per artist, artists whose first three letters collide now and then, lengths from
# 2:30 to 7:00) played round the clock by a player that shuffles, dealing every entry once per
# round (or plays in order), refused by the plug-in's rule with the limits given, as the plug-in
# logs it: a start and a shut-down every day at 04:00 (its history starting empty again), now and
# then a pause of ten minutes, a change of the artist limit halfway, and now and then lines lost.
#
# usage: scripts/make-air-log.sh [--days N] [--playlist FILE.m3u | --entries N] [--seed N]
#                                [--artist-limit N] [--changed-artist-limit N] [--title-limit N]
#                                [--in-order] > air.log
#   --days N          days of air, from 2026-01-01 00:00 (UTC+1) (default 365: about 110,000 lines)
#   --playlist FILE   the titles and lengths of this extended M3U
#   --entries N       else entries of a generated playlist (default 600)
#   --seed N          the shuffle's seed (default 1)
#   --artist-limit N  SameArtistCheckLimit (default 8)
#   --changed-artist-limit N  ... from halfway (default: 4 more)
#   --title-limit N   SameTitleCheckLimit (default 100)
#   --in-order        play the playlist in order instead of shuffling it
set -euo pipefail
days=365 entries=600 seed=1 artist=8 changed="" title=100 inorder=0 playlist=/dev/null
while (($#)); do
  case "$1" in
  --days) days=$2 && shift 2 ;;
  --entries) entries=$2 && shift 2 ;;
  --playlist) playlist=$2 && shift 2 ;;
  --changed-artist-limit) changed=$2 && shift 2 ;;
  --seed) seed=$2 && shift 2 ;;
  --artist-limit) artist=$2 && shift 2 ;;
  --title-limit) title=$2 && shift 2 ;;
  --in-order) inorder=1 && shift ;;
  *) sed -n '/^# usage:/,/^[^#]/s/^# \{0,1\}//p' "$0" >&2 && exit 2 ;;
  esac
done
LC_ALL=C awk -v days="$days" -v entries="$entries" -v seed="$seed" -v artist="$artist" -v title="$title" \
  -v changed="${changed:-$((artist + 4))}" -v inorder="$inorder" '
# The minimal standard generator: its products stay within the 53 bits that numbers in awk hold exactly.
function rnd(bound) { seed = (seed * 16807) % 2147483647; return int(seed / 2147483647 * bound) }
# "2026-01-01T00:00:00.000+01:00" for milliseconds since 1970 UTC, at UTC+1.
function stamp(ms,   local, d, s, era, doe, yoe, y, doy, mp, dd, mm) {
  local = ms + 3600000; d = int(local / 86400000); s = int((local - d * 86400000) / 1000)
  d += 719468; era = int(d / 146097); doe = d - era * 146097
  yoe = int((doe - int(doe / 1460) + int(doe / 36524) - int(doe / 146096)) / 365)
  y = yoe + era * 400; doy = doe - (365 * yoe + int(yoe / 4) - int(yoe / 100)); mp = int((5 * doy + 2) / 153)
  dd = doy - int((153 * mp + 2) / 5) + 1; mm = mp < 10 ? mp + 3 : mp - 9; if (mm <= 2) y++
  return sprintf("%04d-%02d-%02dT%02d:%02d:%02d.%03d+01:00", y, mm, dd, int(s / 3600), int(s / 60) % 60, s % 60, ms % 1000)
}
function emit(ms, event, position, t, rule, key, matched, back, a, ti, mon, detail) {
  printf "%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\r\n", stamp(ms), event, position, t, rule, key, matched, back, a, ti, mon, detail
}
function key(t,   k) { k = tolower(substr(t, 1, 3)); if (k == "the") k = tolower(substr(t, 1, 6)); return k }
function deal(   i, j, x) { for (i = 0; i < entries; i++) order[i] = i
  for (i = entries - 1; i > 0; i--) { j = rnd(i + 1); x = order[i]; order[i] = order[j]; order[j] = x } }
# The playlist file: #EXTINF:<seconds>,<title> before each entry.
{ sub(/\r$/, "") }
/^#EXTINF:/ { line = substr($0, 9); comma = index(line, ","); len[given] = int(substr(line, 1, comma - 1))
  name[given++] = substr(line, comma + 1) }
END {
  if (given > 0) entries = given
  else generate()
  play()
}
function generate(   i) {
  split("Ka Lo Me Ri Sa Tu Va Ne Bo Da Fi Gu Ha Jo Mi No Pe Ro Si Ze", a, " ")
  split("ran lin mor ves tal dun ker pix sol bry", b, " ")
  split("Blue Night Gold River Fire Stone Rain Glass Heart Road", w, " ")
  for (i = 0; i < entries; i++) {
    name[i] = a[int(i / 5) % 20 + 1] b[int(i / 100) % 10 + 1] (i % 3 == 0 ? " Band" : "") " - " w[i % 10 + 1] " " w[int(i / 10) % 10 + 1] " " i
    len[i] = 150 + rnd(271)
  }
}
function play(   i, e, t, k, refused, rule, back, n, pos, step, ms, end, limitA, nextDay, half, done) {
  printf "#Songbeacon air log\tformat 1\r\n"
  seed = seed % 2147483646 + 1
  ms = 1767222000000; end = ms + days * 86400000; step = 0; n = 0; pos = 0; deal()
  limitA = artist; emit(ms, "start", "", "", "", "", "", "", limitA, title, 1, "0.24b"); emit(ms, "playing")
  nextDay = ms + 4 * 3600000; half = ms + days * 43200000; done = 0
  while (ms < end) {
    if (!done && ms >= half) { limitA = changed; emit(ms, "limits", "", "", "", "", "", "", limitA, title, 1); done = 1 }
    if (ms >= nextDay) {                     # the daily restart, off the air for a minute
      emit(ms, "stopped"); emit(ms, "shutdown"); ms += 60000; n = 0
      emit(ms, "start", "", "", "", "", "", "", limitA, title, 1, "0.24b"); emit(ms, "playing")
      nextDay += 86400000
    }
    e = inorder ? pos : order[step]
    t = name[e]; k = key(t); refused = 0
    for (i = 1; i <= n && i <= limitA && !refused; i++) if (key(hist[n - i + 1]) == k) { refused = 1; rule = "artist"; back = i }
    for (i = 1; i <= n && i <= title && !refused; i++) if (hist[n - i + 1] == t) { refused = 1; rule = "title"; back = i }
    if (n > 0 && hist[n] == t) { refused = -1; ms += len[e] * 1000 } # the newest title: not judged again
    if (refused > 0) emit(ms, "skipped", e + 1, t, rule, rule == "artist" ? substr(t, 1, length(k)) : "", hist[n - back + 1], back)
    else if (refused == 0) {
      if (rnd(2000) == 0) { emit(ms + 1000, "lost", "", "", "", "", "", "", "", "", "", 1 + rnd(5)) }
      else emit(ms, "played", e + 1, t)
      hist[++n] = t; ms += len[e] * 1000
      if (rnd(300) == 0) { emit(ms - 60000, "paused"); ms += 600000; emit(ms - 60000, "playing") }
    }
    if (inorder) pos = (pos + 1) % entries
    else if (++step == entries) { step = 0; deal() }
  }
  emit(ms, "stopped"); emit(ms, "shutdown")
}' "$playlist"

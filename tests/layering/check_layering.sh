#!/usr/bin/env bash
# Checks every project #include under src/ and simhost/ against the map of rooms in
# docs/architecture.md: a file may include its own room's headers and those of the rooms (or single
# headers) its row names.
#   check_layering.sh <repository root>
# Prints each include that goes against the map, and exits non-zero when there is one, or when a
# file under src/ or simhost/ belongs to no room.
set -euo pipefail
root=$1
map="$root/docs/architecture.md"

# One line per room: "<room>|<file prefixes>|<what it may include>", from the table between the
# markers; the prefixes and the permitted rooms or headers are the backquoted words of their cells.
rooms=$(awk -F'|' '
  /<!-- rooms: begin/ { on = 1; next }
  /<!-- rooms: end/ { on = 0 }
  on && /^\| / && $3 ~ /`(src|simhost)\// {
    room = $2; gsub(/^ +| +$/, "", room)
    printf "%s|%s|%s\n", room, words($3), words($5)
  }
  function words(cell,   out, n, parts, i) {
    n = split(cell, parts, "`"); out = ""
    for (i = 2; i <= n; i += 2) out = out (out == "" ? "" : ";") parts[i]
    return out
  }' "$map")
[ -n "$rooms" ] || { echo "no map of rooms found in $map" >&2; exit 2; }

# The room of a path under the root: the one whose prefix matches longest.
roomOf() {
  awk -F'|' -v path="$1" '{
    n = split($2, prefixes, ";")
    for (i = 1; i <= n; i++)
      if (index(path, prefixes[i]) == 1 && length(prefixes[i]) > best) { best = length(prefixes[i]); room = $1 }
  } END { print room }' <<<"$rooms"
}

# True when room $1 may include the header at path $2 (of room $3).
permits() {
  awk -F'|' -v room="$1" -v header="$2" -v target="$3" '
    $1 == room { n = split($3, allowed, ";"); for (i = 1; i <= n; i++) if (allowed[i] == target || allowed[i] == header) ok = 1 }
    END { exit ok ? 0 : 1 }' <<<"$rooms"
}

faults=0
cd "$root"
while IFS= read -r file; do
  room=$(roomOf "$file")
  if [ -z "$room" ]; then
    echo "$file: in no room of the map"
    faults=$((faults + 1))
    continue
  fi
  while IFS= read -r included; do
    # A project header, named from src/ or simhost/ (their include folders) or from the including
    # file's own folder.
    if [ -f "src/$included" ]; then header="src/$included"
    elif [ -f "simhost/$included" ]; then header="simhost/$included"
    elif [ -f "$(dirname "$file")/$included" ]; then header="$(dirname "$file")/$included"
    else continue; fi
    target=$(roomOf "$header")
    [ "$target" = "$room" ] && continue
    permits "$room" "$header" "$target" && continue
    echo "$file: includes $header ($target), which the room $room may not use"
    faults=$((faults + 1))
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find src simhost -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.rc' \) | LC_ALL=C sort)

if ((faults)); then
  echo "$faults include(s) against the map in docs/architecture.md"
  exit 1
fi
echo "every include follows the map in docs/architecture.md"

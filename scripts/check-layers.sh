#!/bin/sh
# Every include names its folder from the project root, and no folder reaches
# up into a layer built on it: engine is the design run alone; form adds the
# form as a value; formats reads and writes designs as text; files puts them
# in files and folders; cli, ui and app are the programs, and web the page's
# bridge, which a browser runs without files. A program's folder may include
# anything below it, but not another program's.
#   scripts/check-layers.sh [ROOT]
# prints each include that climbs and fails if there is one.
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2

allowed() {
  case $1 in
    engine) echo "engine" ;;
    form) echo "engine form" ;;
    formats) echo "engine form formats" ;;
    files) echo "engine form formats files" ;;
    cli) echo "engine form formats files cli" ;;
    ui) echo "engine form formats files ui" ;;
    app) echo "engine form formats files ui app" ;;
    web) echo "engine form formats web" ;;
  esac
}

status=0
for layer in engine form formats files cli ui app web; do
  [ -d "$layer" ] || { echo "check-layers: no folder $layer" >&2; exit 2; }
  ok=$(allowed "$layer")
  for file in $(find "$layer" -type f \( -name '*.cpp' -o -name '*.h' \) | sort); do
    # Each quoted include with its line number; a bare name (no folder) is
    # a fault too, since it would be found through some other folder.
    grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
      while IFS= read -r line; do
        target=$(printf '%s\n' "$line" | sed 's/^[^"]*"\([^"]*\)".*/\1/')
        case $target in
          */*) folder=${target%%/*} ;;
          *) folder= ;;
        esac
        fine=no
        for a in $ok; do
          [ "$folder" = "$a" ] && fine=yes
        done
        if [ $fine = no ]; then
          echo "$file:${line%%:*}: $layer includes \"$target\""
        fi
      done
  done
done > "${TMPDIR:-/tmp}/check-layers.$$"
if [ -s "${TMPDIR:-/tmp}/check-layers.$$" ]; then
  cat "${TMPDIR:-/tmp}/check-layers.$$"
  status=1
fi
rm -f "${TMPDIR:-/tmp}/check-layers.$$"
exit $status

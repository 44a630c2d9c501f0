#!/usr/bin/env bash
# brennick-cli under node reads and writes as the native program does: the
# real files, standard input from a pipe or a file, the environment's decimal
# separator, exit statuses, and plain output into a pipe or file written as
# it is (control characters are escaped on a terminal only).
#   tests/wasm/cli_under_node.sh BRENNICK_CLI_JS
set -uo pipefail
cli=${1:?brennick-cli.js}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() {  # label, expected, actual
  if [[ "$2" == "$3" ]]; then
    echo "ok: $1"
  else
    echo "FAILED: $1: expected [$2], got [$3]"
    failed=1
  fi
}

printf '{"NameEdit": "tab\\there", "TLEdit": "5"}\n' >"$work/tab.json"
printf '{"NameEdit": ' >"$work/cut.json"

first=$(node "$cli" "$work/tab.json" 2>/dev/null | head -1 | od -An -c | tr -s ' ')
check "a tab in a name stays a tab in a pipe" " t a b \t h e r e ( T L 5 ) \n" "$first"
check "the same read from a pipe" "$(node "$cli" "$work/tab.json" 2>&1)" \
  "$(cat "$work/tab.json" | node "$cli" - 2>&1)"
check "the same read from a redirected file" "$(node "$cli" "$work/tab.json" 2>&1)" \
  "$(node "$cli" <"$work/tab.json" 2>&1)"

node "$cli" "$work/missing.json" >"$work/out" 2>"$work/err"
check "a missing file: status" 2 $?
check "a missing file: message" "brennick-cli: cannot open '$work/missing.json': No such file or directory" \
  "$(cat "$work/err")"
node "$cli" "$work/cut.json" >/dev/null 2>&1
check "malformed JSON: status" 2 $?
node "$cli" --random 2 --seed 1 >/dev/null
check "--random: status" 0 $?
node "$cli" --no-such-option >/dev/null 2>&1
check "an unknown option: status" 2 $?

# The separator the locale names, as the template's first key tells.
separator() { LC_ALL=$1 node "$cli" --template | grep -m1 '"DecimalSeparator"'; }
check "LC_ALL=C: a decimal point" '  "DecimalSeparator": ".",' "$(separator C)"
if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  check "LC_ALL=de_DE.UTF-8: a decimal comma" '  "DecimalSeparator": ",",' "$(separator de_DE.UTF-8)"
  check "LANG=de_DE.UTF-8 under an empty LC_ALL: a decimal comma" '  "DecimalSeparator": ",",' \
    "$(LANG=de_DE.UTF-8 separator '')"
fi
check "a locale that is not installed: a decimal point" '  "DecimalSeparator": ".",' \
  "$(separator xx_YY.UTF-8)"
exit $failed

#!/usr/bin/env bash
# brennick-cli in bounded memory: with its address space limited to 32 MiB it
# must answer a top-level array of 45 MB, element by element, report a fault
# at the start of endless input at once, stop endless nesting at the depth
# limit, and read a string of 100 MB (a name too long for its field, or the
# value of an unknown key) through to its end without holding it.
#   tests/cli/bounded_memory.sh path/to/brennick-cli
set -uo pipefail
cli=$1
failed=0
check() {  # name, expected status, actual status, expected message, actual message
  if [[ $3 -ne $2 || $5 != "$4" ]]; then
    echo "FAILED: $1: exit status $3 (expected $2), message: $5"
    failed=$((failed + 1))
  else
    echo "ok: $1"
  fi
}
limit() { (ulimit -v 32768 && exec "$@"); }
export LC_ALL=C

# 3.5 million designs, each an input error; nothing may pile up.
err=$( (printf '['; yes '{"Bogus":1},' | head -n 3500000; printf '{}]') |
  limit "$cli" --json 2>&1 >/dev/null)
check "a 45 MB array" 2 $? "" "$err"

# The same designs as JSON Lines, in plain mode: one message each.
lines=$(yes '{"Bogus":1}' | head -n 1000000 | limit "$cli" 2>&1 >/dev/null | wc -l)
check "a million JSON Lines" 0 0 1000000 "$lines"

# Endless input whose first byte is already wrong, or whose fault comes early.
err=$(timeout 20 bash -c "ulimit -v 32768; exec '$cli'" </dev/zero 2>&1 >/dev/null)
check "endless NULs" 2 $? "malformed JSON at line 1, column 1: unexpected U+0000; expected a value" "$err"
err=$( (printf '{"BoreSizeEdit" 1'; cat /dev/zero) | timeout 20 bash -c "ulimit -v 32768; exec '$cli'" 2>&1 >/dev/null)
check "a fault before endless NULs" 2 $? "malformed JSON at line 1, column 17: unexpected '1'; expected ':'" "$err"

# Endless nesting stops at the 257th bracket.
err=$(timeout 20 bash -c "ulimit -v 32768; yes '[' | tr -d '\n' | '$cli'" 2>&1 >/dev/null)
check "endless nesting" 2 $? "malformed JSON at line 1, column 257: nested deeper than 256 levels" "$err"

# 100 MB strings: a name, in each output mode, and a value that is skipped.
long() {  # key, then the rest of the input after the string
  printf '{"%s": "' "$1"
  head -c 100000000 /dev/zero | tr '\0' n
  printf '"}%s\n' "${2:-}"
}
toolong='design 1, key "NameEdit": the text is 100000000 characters long; a field holds at most 32767'
err=$(long NameEdit | limit "$cli" 2>&1 >/dev/null)
check "a 100 MB name" 2 $? "$toolong" "$err"
err=$(long NameEdit | limit "$cli" --explain 2>&1 >/dev/null)
check "a 100 MB name, --explain" 2 $? "$toolong" "$err"
out=$(long NameEdit | limit "$cli" --json 2>/dev/null)
status=$?
[[ $out == *"the text is 100000000 characters long"* ]] && found=yes || found="${out:0:200}"
check "a 100 MB name, --json" 2 $status yes "$found"
err=$(long Bogus ' {"BoreSizeEdit": ""}' | limit "$cli" 2>&1 >/dev/null)
check "a skipped 100 MB value" 2 $? 'design 1: unknown key "Bogus"
design 2: '"'' is not a valid floating point value" "$err"

echo "bounded memory: $((9 - failed)) passed, $failed failed"
[[ $failed -eq 0 ]]

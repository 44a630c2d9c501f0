#!/usr/bin/env bash
# Every option of brennick-cli --help is in the manual page and the bash
# completion, and the completion offers what each option takes.
#   tests/cli/options_documented.sh path/to/brennick-cli source/cli
set -uo pipefail
cli=$1
dir=$2
failed=0
passed=0
fail() { echo "FAILED: $*"; failed=$((failed + 1)); }

options=$("$cli" --help | grep -oE -- '--[a-z][a-z-]+' | sort -u)
[[ -n $options ]] || fail "no options in --help"
for option in $options; do
  # roff writes the hyphens of an option as \-
  grep -qF -- "$(sed 's/-/\\-/g' <<<"$option")" "$dir/brennick-cli.1" || fail "$option not in the manual page"
  grep -qF -- "$option" "$dir/brennick-cli.bash" || fail "$option not in the completion"
  passed=$((passed + 1))
done

# shellcheck source=/dev/null
source "$dir/brennick-cli.bash"
complete_words() {  # the words typed so far; prints the completions
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _brennick_cli
  printf '%s ' "${COMPREPLY[@]}"
}
scratch=$(mktemp -d) || exit 1
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
[[ $(complete_words brennick-cli --t) == "--table --template " ]] || fail "--t: $(complete_words brennick-cli --t)"
[[ $(complete_words brennick-cli --table "") == "markdown csv " ]] || fail "--table: $(complete_words brennick-cli --table "")"
[[ $(complete_words brennick-cli --decimal-separator "") == ". , " ]] || fail "--decimal-separator: $(complete_words brennick-cli --decimal-separator "")"
mkdir designs && touch designs.json
[[ $(complete_words brennick-cli --random 3 --out-dir "") == "designs " ]] || fail "--out-dir: $(complete_words brennick-cli --random 3 --out-dir "")"
passed=$((passed + 4))

echo "options documented: $passed passed, $failed failed"
[[ $failed -eq 0 ]]

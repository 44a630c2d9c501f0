#!/usr/bin/env bash
# Compares two brennick-cli programs on the same designs: every byte of
# standard output and of standard error, and the exit status, must be equal.
#
#   bench/differential.sh OLD_CLI NEW_CLI [COUNT]
#
# Either program may be a command with arguments, in one word for the shell:
#   bench/differential.sh build/brennick-cli "node build-wasm/brennick-cli.js"
#
# The designs, COUNT random ones (1,000,000 by default) and COUNT/5 unusual
# ones (at least 1,000):
#  - random designs written by bench_make_cli_input with four seeds, two of
#    them with only the keys that differ from the start form and two with
#    every key;
#  - unusual designs written by this script: every option group at any item
#    (now and then one outside its range, an input error), every check box at
#    random, and text fields holding odd texts: empty, spaces, signs, hex and
#    out-of-range TLs, garbage, names with quotes, escapes and non-ASCII
#    letters, and numbers with huge or tiny exponents, many digits, either
#    decimal separator;
#  - the command-line fuzz target's seed inputs (fuzz/corpus/fuzz_cli), whole:
#    malformed JSON, invalid UTF-8, nested arrays.
# Each input is run in plain, --json, --explain and --json --explain mode
# (plain reading standard input, the others a file), under LC_ALL=C and
# LC_ALL=de_DE.UTF-8 (decimal point and decimal comma).
#
# Only the two programs' command line is used (--json, --template, a FILE
# argument), so any build of brennick-cli can be compared with any other.
#
# Environment:
#   MAKE_INPUT  bench_make_cli_input to use (default: the first one found in
#               build-bench, build-perf or build of this worktree; it is built
#               with -DBRENNICK_BENCH=ON, e.g. by `make bench`)
#   CHUNK       designs per program run (default 100000)
#   SHOW        differing lines shown per difference (default 6)
#   DIFF_LOG    file that receives every differing line of every run
#   SEED        first seed (default 20261208)
#   MODES       the modes run, of "plain json explain explain-json" (default:
#               all four)
#   LP_RELOAD   when 1, a run whose only differences are the reload weight of
#               liquid-propellant guns with a load of 10^13 lb or more, where
#               the new program shows the bare bottle (0.25, 0.5 or 1 lb) on
#               the weight line and the bottle line, counts as expected, not
#               as differing: builds from before the reload-weight fix lost
#               the bottle in the rounding of such loads
#
# Exit status: 0 when the two programs agree everywhere, 1 when they differ,
# 2 on bad usage.
set -euo pipefail

if [[ $# -lt 2 || $# -gt 3 ]]; then
  echo "usage: bench/differential.sh OLD_CLI NEW_CLI [COUNT]" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
# A program is its first word, found on the PATH or as a path, and the words
# after it.
command_of() {  # command_of VARIABLE TEXT
  local -n into=$1
  local words
  read -r -a words <<<"$2"
  if [[ ${#words[@]} -eq 0 ]]; then
    echo "an empty command" >&2
    exit 2
  fi
  if [[ ${words[0]} == */* ]]; then
    words[0]=$(realpath "${words[0]}")
  elif ! words[0]=$(command -v "${words[0]}"); then
    echo "not found: ${words[0]}" >&2
    exit 2
  fi
  if [[ ! -x ${words[0]} ]]; then
    echo "not an executable: ${words[0]}" >&2
    exit 2
  fi
  into=("${words[@]}")
}
command_of old "$1"
command_of new "$2"
count=${3:-1000000}
chunk=${CHUNK:-100000}
show=${SHOW:-6}
seed=${SEED:-20261208}

make_input=${MAKE_INPUT:-}
if [[ -z $make_input ]]; then
  for dir in build-bench build-perf build; do
    if [[ -x $root/$dir/bench_make_cli_input ]]; then
      make_input=$root/$dir/bench_make_cli_input
      break
    fi
  done
fi
if [[ -z $make_input || ! -x $make_input ]]; then
  echo "bench_make_cli_input not found: run 'make bench' or set MAKE_INPUT" >&2
  exit 2
fi
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "the de_DE.UTF-8 locale is missing (scripts/install-deps.sh makes it)" >&2
  exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/brennick-differential.XXXXXX")
trap 'rm -rf "$work"' EXIT

# ---------------------------------------------------------------------------
# Unusual designs: `odd_designs COUNT SEED` writes COUNT JSON Lines. The keys
# and their kinds come from the new program's --template.
odd_designs() {
  "${new[@]}" --template | awk -v n="$1" -v seed="$2" '
    function pick(k) { return int(rand() * k) }
    function chance(p) { return rand() < p }
    function digits(k,   s, i) {
      s = ""
      for (i = 0; i < k; ++i) s = s pick(10)
      return s
    }
    # A decimal text of any shape: sign, many or few digits, either
    # separator anywhere, an exponent of any size, spaces around it.
    function number(   s, m, at, sep) {
      s = chance(0.15) ? "-" : chance(0.05) ? "+" : ""
      m = digits(1 + pick(chance(0.3) ? 25 : 4))
      sep = chance(0.5) ? "." : ","
      if (chance(0.6)) {
        at = pick(length(m) + 1)
        m = substr(m, 1, at) sep substr(m, at + 1)
      }
      s = s m
      if (chance(0.5)) {
        s = s (chance(0.5) ? "e" : "E") (chance(0.4) ? "-" : chance(0.2) ? "+" : "")
        s = s pick(chance(0.5) ? 5000 : chance(0.5) ? 330 : 20)
      }
      if (chance(0.05)) s = " " s
      if (chance(0.05)) s = s "  "
      return s
    }
    # A plausible text for each field, so that most designs run to the end.
    function plausible(key,   sep) {
      sep = chance(0.5) ? "." : ","
      if (key == "NameEdit") return names[1 + pick(nnames)]
      if (key == "TLEdit") return "" pick(14)
      # Now and then a giant: loads of millions of tons and more.
      if (key == "BoreSizeEdit" && chance(0.04)) return (1 + pick(9)) "e" (3 + pick(9))
      if (key == "ShotsEdit" && chance(0.04)) return "" (1 + pick(2147483647))
      if (key == "BoreSizeEdit") return (1 + pick(chance(0.8) ? 30 : 300)) (chance(0.3) ? sep pick(100) : "")
      if (key == "PowerModEdit") return chance(0.7) ? "1" : pick(3) sep pick(100)
      if (key == "BarrelsEdit" || key == "ChambersEdit") return "" (1 + pick(12))
      if (key == "RoFEdit") return "" (1 + pick(30))
      if (key == "ShotsEdit") return "" (1 + pick(300))
      if (key == "ArbWeight" || key == "ArbCF") return chance(0.5) ? "0" : (chance(0.3) ? "-" : "") pick(5) sep pick(10)
      return "1"
    }
    function odd(key) {
      if (key == "NameEdit") return names[1 + pick(nnames)]
      if (key == "TLEdit" && chance(0.6)) return tls[1 + pick(ntls)]
      if (chance(0.4)) return texts[1 + pick(ntexts)]
      return number()
    }
    BEGIN {
      srand(seed)
      nnames = split("|Pistol|  spaced  |Ünïcødé †|\\\"quoted\\\"|back\\\\slash|tab\\there|\\u0001\\u001f|\\u00e9\\u2020|" \
                     "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", names, "|")
      ntls = split("| |9 | 9|+9|-1|-0|13|99|$A|$a|0xC|0X0c|x9|X10|$|0x|x|9a|1e1|9.0|9,0|--9|2147483647|" \
                   "2147483648|-2147483648|-2147483649|$7FFFFFFF|$80000000|0x80000000|-$80000000|$-1|0009|" \
                   "99999999999999999999|\\t9|٩", tls, "|")
      ntexts = split("| |  |-|+|.|,|e|E|e5|1e|1e+|.e1|-.|+-1|--1|1..2|1,,2|1.2.3|1,2,3|0|-0|+0|0.0|-0,0|" \
                     "00012|1 2|abc|NaN|nan|inf|-inf|Infinity|0x10|$10|1e308|1.7976931348623157e308|" \
                     "1.8e308|-1e308|1e309|4.9e-324|2e-324|1e-320|1e-400|2.2250738585072014E-308|" \
                     "1e15|999999999999999|9.99999999999999E14|1e-5|0.0001|0,0001|9.999999999999999e-5|" \
                     "123456789012345678901234567890|0.000000000000000000000000000001|2147483647|" \
                     "2147483648|-2147483649|4294967296|9223372036854775807|9223372036854775808|" \
                     "1e19|1e-19|12.5|0.5|1.5|2.5|\\t5|5\\t|½|１", texts, "|")
      groupMax["ConfigurationBox"] = 4; groupMax["BarrelBox"] = 2
      groupMax["LoadingMechanismBox"] = 10; groupMax["PropellantBox"] = 5
      groupMax["PLBBox"] = 2; groupMax["GaussHCCBBox"] = 1; groupMax["MuzzleBox"] = 4
      groupMax["CamouflageBox"] = 6; groupMax["StylingBox"] = 3
      groupMax["QualityAccurate"] = 3; groupMax["QualityReliable"] = 3
      groupMax["TargetingSoftware"] = 2
    }
    /^  "/ {
      key = $1
      gsub(/[":]/, "", key)
      keys[++nkeys] = key
      kind[key] = $2 ~ /^"/ ? "text" : $2 ~ /^(true|false)/ ? "check" : "group"
    }
    END {
      for (d = 0; d < n; ++d) {
        line = ""
        for (k = 1; k <= nkeys; ++k) {
          key = keys[k]
          if (chance(0.05)) continue  # keeps the start value
          if (kind[key] == "text") {
            strict = key == "BoreSizeEdit" || key == "PowerModEdit"
            value = "\"" (chance(strict ? 0.85 : 0.7) ? plausible(key) : odd(key)) "\""
          } else if (kind[key] == "check") {
            value = chance(0.5) ? "true" : "false"
          } else {
            top = key in groupMax ? groupMax[key] : 3
            value = chance(0.003) ? (chance(0.5) ? top + 1 : -2) : pick(top + 2) - 1
          }
          line = line (line == "" ? "{" : ",") "\"" key "\":" value
        }
        print (line == "" ? "{" : line) "}"
      }
    }'
}

# ---------------------------------------------------------------------------
# Runs both programs on one input file in every mode and locale and compares.
runs=0
differing=0
expected=0

# Reads `diff OLD NEW` and succeeds when every change is a liquid-propellant
# reload weight as LP_RELOAD describes. Output lines are either statblock
# lines (plain mode) or one JSON object per design (--json).
reload_only() {
  awk '
    function bottle(v) { return v == "0.25" || v == "0,25" || v == "0.5" || v == "0,5" || v == "1" }
    function absurd(v) { gsub(",", ".", v); return v + 0 >= 1e13 }
    # The line with every weight and bottle line masked; fails (returns "")
    # when a new line shows a reload other than a bottle or a load that is
    # not absurd.
    function masked(line, isNew,   out, w, rest, text, slash, loaded, reload) {
      out = ""
      rest = line
      while (match(rest, /(Propellant Bottle )?Weight: [^"\/]*(\/[^"]*)?/)) {
        text = substr(rest, RSTART, RLENGTH)
        if (text ~ /^Propellant/) {
          reload = substr(text, 27); loaded = ""
          bottles += isNew
        } else {
          slash = index(text, "/")
          if (slash == 0) return ""
          loaded = substr(text, 9, slash - 9); reload = substr(text, slash + 1)
          weights += isNew
        }
        if (isNew && (!bottle(reload) || (loaded != "" && !absurd(loaded)))) return ""
        out = out substr(rest, 1, RSTART - 1) (loaded == "" ? "BOTTLE" : "WEIGHT " loaded)
        rest = substr(rest, RSTART + RLENGTH)
      }
      return out rest
    }
    function hunk(   i, a, b) {
      if (nOld != nNew) ok = 0
      weights = bottles = 0
      for (i = 1; ok && i <= nOld; ++i) {
        a = masked(olds[i], 0); b = masked(news[i], 1)
        if (b == "" || a != b) ok = 0
      }
      # Plain lines: every weight line changed comes with its bottle line.
      if (weights != bottles) ok = 0
      nOld = nNew = 0
    }
    BEGIN { ok = 1 }
    /^[0-9]/ { hunk(); if ($0 !~ /c/) ok = 0; next }
    /^< / { olds[++nOld] = substr($0, 3); next }
    /^> / { news[++nNew] = substr($0, 3); next }
    END { hunk(); exit ok ? 0 : 1 }'
}
compare() {  # compare NAME FILE
  local name=$1 file=$2 locale mode o n so sn
  for locale in C de_DE.UTF-8; do
    for mode in ${MODES:-plain json explain explain-json}; do
      o=$work/old
      n=$work/new
      so=0
      sn=0
      case $mode in
        plain)
          LC_ALL=$locale "${old[@]}" <"$file" >"$o.out" 2>"$o.err" || so=$?
          LC_ALL=$locale "${new[@]}" <"$file" >"$n.out" 2>"$n.err" || sn=$?
          ;;
        json | explain | explain-json)
          local flags=()
          [[ $mode == *json ]] && flags+=(--json)
          [[ $mode == explain* ]] && flags+=(--explain)
          LC_ALL=$locale "${old[@]}" "${flags[@]}" "$file" >"$o.out" 2>"$o.err" || so=$?
          LC_ALL=$locale "${new[@]}" "${flags[@]}" "$file" >"$n.out" 2>"$n.err" || sn=$?
          ;;
        *)
          echo "unknown mode: $mode" >&2
          exit 2
          ;;
      esac
      runs=$((runs + 1))
      if [[ $so == "$sn" ]] && cmp -s "$o.out" "$n.out" && cmp -s "$o.err" "$n.err"; then
        continue
      fi
      if [[ ${LP_RELOAD:-} == 1 && $so == "$sn" ]] && cmp -s "$o.err" "$n.err" &&
        { diff "$o.out" "$n.out" || true; } | reload_only; then
        expected=$((expected + 1))
        echo "expected: $name, $mode, LC_ALL=$locale: $({ diff "$o.out" "$n.out" || true; } | grep -c '^>') lines with liquid-propellant reloads"
        if [[ -n ${DIFF_LOG:-} ]]; then
          {
            echo "### $name $mode LC_ALL=$locale stdout (liquid-propellant reloads)"
            diff "$o.out" "$n.out" || true
          } >>"$DIFF_LOG"
        fi
        continue
      fi
      differing=$((differing + 1))
      echo "DIFFERENT: $name, $mode, LC_ALL=$locale: exit status $so / $sn"
      for stream in out err; do
        if ! cmp -s "$o.$stream" "$n.$stream"; then
          echo "  standard ${stream/err/error}${stream/out/put}:"
          diff "$o.$stream" "$n.$stream" | head -n "$show" | cut -c1-300 | sed 's/^/    /' || true
          if [[ -n ${DIFF_LOG:-} ]]; then
            {
              echo "### $name $mode LC_ALL=$locale std$stream"
              diff "$o.$stream" "$n.$stream" || true
            } >>"$DIFF_LOG"
          fi
        fi
      done
    done
  done
}

# Splits a JSON Lines file into chunks and compares each.
compare_lines() {  # compare_lines NAME FILE
  local name=$1 file=$2 part
  split -l "$chunk" -d -a 4 "$file" "$work/part."
  rm -f "$file"
  for part in "$work"/part.*; do
    compare "$name ${part##*.}" "$part"
    rm -f "$part"
  done
}

echo "old: ${old[*]}"
echo "new: ${new[*]}"
if [[ -n ${DIFF_LOG:-} ]]; then : >"$DIFF_LOG"; fi
designs=0

# Random designs, four seeds.
per_seed=$(((count + 3) / 4))
for i in 0 1 2 3; do
  s=$((seed + i * 7919))
  full=""
  if ((i % 2 == 1)); then full=full; fi
  "$make_input" "$per_seed" "$s" $full >"$work/random.jsonl"
  echo "random designs, seed $s${full:+, every key}: $per_seed"
  compare_lines "random seed $s" "$work/random.jsonl"
  designs=$((designs + per_seed))
done

# Unusual designs.
odd=$((count / 5 > 1000 ? count / 5 : 1000))
odd_designs "$odd" "$seed" >"$work/odd.jsonl"
echo "unusual designs: $odd"
compare_lines "unusual" "$work/odd.jsonl"
designs=$((designs + odd))

# Whole inputs of the command-line fuzz target (its first byte is the mode).
corpus=0
for f in "$root"/fuzz/corpus/fuzz_cli/*; do
  [[ -f $f ]] || continue
  tail -c +2 "$f" >"$work/corpus.json"
  compare "corpus $(basename "$f")" "$work/corpus.json"
  corpus=$((corpus + 1))
done
echo "fuzz corpus inputs: $corpus"

echo "designs: $designs (and $corpus whole inputs), program runs compared: $runs, differing: $differing${LP_RELOAD:+, differing only in liquid-propellant reloads: $expected}"
if ((differing > 0)); then
  echo "RESULT: the programs differ"
  exit 1
fi
if ((expected > 0)); then
  echo "RESULT: identical but for the liquid-propellant reloads of loads of 10^13 lb and more"
else
  echo "RESULT: identical"
fi

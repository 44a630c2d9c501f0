# bash completion for brennick-cli
_brennick_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  local prev=${COMP_WORDS[COMP_CWORD - 1]}
  local options="--json --explain --table --template --captions --random --seed --only-automatic --out-dir --compare --decimal-separator --help --version"
  case $prev in
    --table)
      # The format, or a file: --table takes only these two words as its format.
      COMPREPLY=($(compgen -W "markdown csv" -- "$cur") $(compgen -f -- "$cur"))
      return
      ;;
    --random | --seed)
      # A number: nothing to offer.
      COMPREPLY=()
      return
      ;;
    --out-dir)
      COMPREPLY=($(compgen -d -- "$cur"))
      return
      ;;
    --decimal-separator)
      COMPREPLY=($(compgen -W ". ," -- "$cur"))
      return
      ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  else
    COMPREPLY=($(compgen -f -- "$cur"))
  fi
}
complete -o filenames -F _brennick_cli brennick-cli

# bash completion for programmer: subcommands, the options each one takes
# (read from its --help, so they keep up with the program), chip names and
# the names chips are also sold under (from list --json), file names.
_programmer_words() {
  local IFS=$'\n' word
  for word in $(compgen -W "$1" -- "$2"); do printf '%q\n' "$word"; done
}

# File names: bash quotes them itself and adds / to folders.
_programmer_files() {
  compopt -o filenames 2>/dev/null
  mapfile -t COMPREPLY < <(compgen -f -- "$1")
}

_programmer() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local program=${COMP_WORDS[0]} command="" i
  local valued='--chip|--port|--lang|--file-offset|--chip-offset|--length|--format|--blocks|--block|--backup|--trace|--low|--high|--ext|--count'
  for ((i = 1; i < COMP_CWORD; i++)); do
    case ${COMP_WORDS[i]} in
      -*) ;;
      *)
        if [[ ! ${COMP_WORDS[i - 1]} =~ ^($valued)$ ]]; then
          command=${COMP_WORDS[i]}
          break
        fi
        ;;
    esac
  done
  case $prev in
    --chip)
      local names
      names=$("$program" list --json 2>/dev/null |
        sed -n 's/.*"name": "\([^"]*\)", "aliases": \[\([^]]*\)\].*/"\1", \2/p' |
        grep -o '"[^"]*"' | tr -d '"' | sort -u)
      # A name with blanks is completed quoted; what is typed may be quoted too.
      local typed
      typed=$(eval "printf '%s' $cur" 2>/dev/null) || typed=$cur
      mapfile -t COMPREPLY < <(_programmer_words "$names" "$typed")
      return
      ;;
    --lang) COMPREPLY=($(compgen -W 'ru en' -- "$cur")); return ;;
    --format) COMPREPLY=($(compgen -W 'raw hex srec' -- "$cur")); return ;;
    --port) COMPREPLY=($(compgen -W 'sim sim: ppdev ppdev:/dev/parport0 direct direct:0x378' -- "$cur")); return ;;
    --block) COMPREPLY=($(compgen -W 'chip' -- "$cur")); return ;;
    --blocks) COMPREPLY=($(compgen -W 'all' -- "$cur")); return ;;
    --backup | --trace)
      _programmer_files "$cur"
      return
      ;;
    --file-offset | --chip-offset | --length | --low | --high | --ext | --count) return ;;
  esac
  if [[ -z $command ]]; then
    local commands
    commands=$("$program" --help 2>/dev/null | awk '/^Subcommands:/ { on = 1; next } on && /^ +[a-z]/ { print $1 }')
    COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
    return
  fi
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$("$program" "$command" --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)" -- "$cur"))
    return
  fi
  case $command in
    sdp) COMPREPLY=($(compgen -W 'on off' -- "$cur")) ;;
    sim) COMPREPLY=($(compgen -W 'insert remove' -- "$cur")) ;;
    read | write | verify) _programmer_files "$cur" ;;
  esac
}
complete -F _programmer programmer

# bash completion for quavert-cli

_quavert_cli() {
  local cur prev words cword
  _init_completion || return

  local commands="check list report edit lint render --help --version"
  if [[ $cword -eq 1 ]]; then
    COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    return
  fi

  local command=${words[1]}
  case $prev in
    --answer)
      COMPREPLY=($(compgen -W "yes no" -- "$cur"))
      return
      ;;
    --out)
      _filedir
      return
      ;;
    --soundfont)
      _filedir 'sf[23]'
      return
      ;;
    --track | --cell | --delete | --insert | --tempo | --ticks | --rate)
      return
      ;;
  esac

  local options
  case $command in
    check) options="" ;;
    list) options="--track --bytes --answer" ;;
    report) options="--out --answer" ;;
    edit) options="--out --track --cell --delete --insert --save-track --tempo --ticks --answer" ;;
    lint) options="--json" ;;
    render) options="--out --soundfont --rate" ;;
    *) return ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  else
    _filedir '@(mid|midi|MID|MIDI|kar|KAR|rmi|RMI)'
  fi
} &&
  complete -F _quavert_cli quavert-cli

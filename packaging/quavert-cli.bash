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
    --encoding)
      COMPREPLY=($(compgen -W "Automatic UTF-8 Latin-1 Windows-1252 Shift-JIS GB18030 EUC-KR" -- "$cur"))
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
    list) options="--track --bytes --encoding --answer" ;;
    report) options="--out --encoding --answer" ;;
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

# bash completion for vesko: its commands, their options and the files
# each operand names (minds *.mnd, texts, banks, folders).
_vesko() {
  local cur prev words cword
  _init_completion || return

  local globals="--home --mind --seed --help --version"
  case $prev in
    --home) _filedir -d; return ;;
    --mind) _filedir mnd; return ;;
    --seed|--save-every|--user) return ;;
  esac

  local command="" sub="" i
  for ((i = 1; i < cword; i++)); do
    case ${words[i]} in
      --home|--mind|--seed|--user|--save-every) ((i++)) ;;
      -*) ;;
      *) if [[ -z $command ]]; then command=${words[i]}; elif [[ -z $sub ]]; then sub=${words[i]}; fi ;;
    esac
  done

  if [[ -z $command ]]; then
    if [[ $cur == -* ]]; then
      COMPREPLY=($(compgen -W "$globals" -- "$cur"))
    else
      COMPREPLY=($(compgen -W "chat pipe teach check-rules new-mind init-mind mind" -- "$cur"))
    fi
    return
  fi

  local options=""
  case $command in
    pipe) options="--user --save-every" ;;
    new-mind) options="--advanced --force" ;;
    init-mind) options="--yes" ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options $globals" -- "$cur"))
    return
  fi
  case $command in
    teach) _filedir txt ;;
    check-rules) _filedir x ;;
    init-mind) _filedir mnd ;;
    new-mind)
      if [[ " ${words[*]} " == *" --advanced "* ]]; then _filedir -d; else _filedir mnd; fi ;;
    mind)
      if [[ -z $sub ]]; then
        COMPREPLY=($(compgen -W "info unpack pack" -- "$cur"))
      else
        case $sub in
          info) _filedir mnd ;;
          unpack) if [[ ${words[cword-1]} == unpack ]]; then _filedir mnd; else _filedir -d; fi ;;
          pack) if [[ ${words[cword-1]} == pack ]]; then _filedir -d; else _filedir mnd; fi ;;
        esac
      fi ;;
  esac
} &&
  complete -F _vesko vesko

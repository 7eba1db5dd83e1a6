# Bash completion for velotrix-cli: its commands, the options of each command, their values, ports.

# The names of the ports as "velotrix-cli ports" lists them (it opens no device, so a Tab resets
# no board); when it lists none, the device names under /dev, so that the group hint can follow on
# use.
_velotrix_cli_ports() {
    local program=$1 names device
    names=$(timeout 2 "$program" ports 2>/dev/null | cut -f1 | cut -d' ' -f1 | cut -d: -f1)
    if [[ -z $names ]]; then
        for device in /dev/ttyUSB* /dev/ttyACM* /dev/ttyAMA* /dev/rfcomm*; do
            [[ -e $device ]] && names+=" ${device#/dev/}"
        done
    fi
    printf '%s\n' $names
}

_velotrix_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev="" command=${COMP_WORDS[1]:-}
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()

    # Bash splits "--baud=96" into "--baud", "=" and "96".
    if [[ $cur == "=" ]]; then
        cur=""
    elif [[ $prev == "=" ]] && ((COMP_CWORD > 1)); then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    fi

    if ((COMP_CWORD == 1)); then
        mapfile -t COMPREPLY < <(compgen -W "ports info send text receive selftest help --help --version" -- "$cur")
        return
    fi

    local values=""
    case $prev in
        --port | -p)
            if [[ $cur == */* ]]; then
                compopt -o filenames 2>/dev/null
                mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            else
                mapfile -t COMPREPLY < <(compgen -W "$(_velotrix_cli_ports "${COMP_WORDS[0]}")" -- "$cur")
            fi
            return
            ;;
        --baud | -b) values="150 300 600 1200 1800 2400 4800 9600 14400 19200 38400 56000 57600 115200" ;;
        --parity) values="keine gerade ungerade none even odd" ;;
        --data) values="7 8" ;;
        --stop) values="1 2" ;;
        --flow) values="keine CTS none cts" ;;
        --dtr | --rts) values="on off an aus" ;;
        --pause) values="keine none 50 100 500 1000" ;;
        --type) values="P B F Q T D A C U" ;;
        --eol) values="none cr crlf lf" ;;
        --as) values="z80 bin xmodem xmodem1k" ;;
        -o | --log)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        --dir | -d)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return
            ;;
        --aadr | --sadr | --name | --timeout | --command | --expect) return ;;
    esac
    if [[ -n $values ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$values" -- "$cur")
        return
    fi

    local line="--port -p --baud -b --parity --data --stop --flow --dtr --rts --quiet -q --log"
    local options=""
    case $command in
        send) options="$line --as --bin --endlos --pause --no-progress --aadr --sadr --name --type --watch --command --expect --timeout --eol" ;;
        text) options="$line --endlos --eol --break" ;;
        receive) options="$line -o --force --timeout --all --dir -d --xmodem --trim" ;;
        selftest) options="$line" ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options --help" -- "$cur")
    elif [[ $command == info || $command == send ]]; then
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    fi
}

complete -F _velotrix_cli velotrix-cli
